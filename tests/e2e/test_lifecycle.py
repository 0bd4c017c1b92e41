import os
import shutil
import unittest

from demo_process import DemoRun, content_copy, is_frame_rate_line

SHADER_FILES = [
    ("shader/VertexShader.vertexshader", "shader/FragmentShader.fragmentshader"),
    ("shader/SMDepthPass.vert", "shader/SMDepthPass.frag", "shader/SMDepthPass.geo"),
    ("shader/Dof_depth.vert", "shader/Dof_depth.frag"),
    ("shader/Dof.vert", "shader/Dof.frag"),
    ("shader/TextureQuad.vert", "shader/TextureQuad.frag"),
    ("shader/Bloom.vert", "shader/Bloom.frag"),
]


class Lifecycle(unittest.TestCase):
    def test_runs_compiles_reports_frame_rate_and_ends_on_escape(self):
        run = DemoRun()
        try:
            self.assertIsNotNone(run.wait_for_frame_rate(), "".join(run.stdout + run.stderr))
            run.key("Escape")
            self.assertEqual(run.wait(), 0)
        finally:
            run.kill()
        compiled = [l[len("Compiling shader : "):].strip() for l in run.stdout
                    if l.startswith("Compiling shader : ")]
        self.assertEqual(compiled, [path for program in SHADER_FILES for path in program])
        self.assertEqual(sum(l == "Linking program\n" for l in run.stdout), 6)
        self.assertEqual(run.stderr, [])

    def test_closing_the_window_ends_the_run(self):
        run = DemoRun()
        try:
            self.assertIsNotNone(run.wait_for_frame_rate())
            run.close_window()
            self.assertEqual(run.wait(), 0)
        finally:
            run.kill()
        self.assertEqual(run.stderr, [])

    def test_broken_and_missing_shaders_are_reported_and_the_demo_runs_on(self):
        root = content_copy()
        try:
            shader_dir = os.path.join(root, "demo", "shader")
            os.remove(os.path.join(shader_dir, "Bloom.vert"))
            with open(os.path.join(shader_dir, "TextureQuad.frag"), "w") as broken:
                broken.write("#version 330 core\nvoid main() { not glsl }\n")
            run = DemoRun(workdir=os.path.join(root, "demo"))
            try:
                self.assertIsNotNone(run.wait_for_frame_rate(), "".join(run.stdout + run.stderr))
                run.key("Escape")
                self.assertEqual(run.wait(), 0)
            finally:
                run.kill()
        finally:
            shutil.rmtree(root)
        out = "".join(run.stdout)
        quad = out.index("Compiling shader : shader/TextureQuad.frag\n")
        # The driver's error log for the broken stage follows its line, instead of an empty one.
        self.assertNotEqual(out[quad:].split("\n")[1], "", out[quad:quad + 300])
        self.assertIn("Compiling shader : shader/Bloom.vert\n", out)

    def test_no_display(self):
        env = {"DISPLAY": ""}
        run = DemoRun(env=env)
        self.assertEqual(run.wait(), 0)
        self.assertTrue("".join(run.stderr).endswith("Failed to initialize GLFW\nDidn't reach INIT-state"),
                        run.stderr)
        self.assertFalse(any(is_frame_rate_line(l) for l in run.stdout))

    def test_no_core_context(self):
        run = DemoRun(env={"MESA_GL_VERSION_OVERRIDE": "3.0"})
        self.assertEqual(run.wait(), 0)
        self.assertTrue("".join(run.stderr).endswith("Failed to open GLFW window\nDidn't reach INIT-state"),
                        run.stderr)


if __name__ == "__main__":
    unittest.main()

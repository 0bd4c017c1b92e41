import unittest

from demo_process import DemoRun, is_frame_rate_line

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

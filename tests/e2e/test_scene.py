import os
import shutil
import unittest

from demo_process import DemoRun, content_copy


class SceneAtStartUp(unittest.TestCase):
    def test_missing_scene_is_reported_before_the_shaders_and_the_demo_runs_on(self):
        root = content_copy()
        self.addCleanup(shutil.rmtree, root, True)
        scene = os.path.join(root, "models", "casa de vacaciones.dae")
        if os.path.exists(scene):
            os.remove(scene)
        run = DemoRun(workdir=os.path.join(root, "demo"))
        try:
            self.assertIsNotNone(run.wait_for_frame_rate(), "".join(run.stdout + run.stderr))
            run.key("Escape")
            self.assertEqual(run.wait(), 0)
        finally:
            run.kill()
        self.assertEqual(run.stdout[:3], ["Couldn't open file: ../models/casa de vacaciones.dae\n", "\n",
                                          "Compiling shader : shader/VertexShader.vertexshader\n"])
        self.assertEqual(run.stderr, [])


if __name__ == "__main__":
    unittest.main()

import unittest

from demo_process import DemoRun, is_frame_rate_line

WALK_CONFIRMATIONS = [
    "walkit changed. \n",
    "Shadow Mapping disabled. \n",
    "Bloom effect disabled. \n",
    "Normal Mapping disabled. \n",
    "Dof enabled. \n",
    "Dof show changed. \n",
    "walkit changed. \n",
]


def lines_after_first_frame_rate(lines):
    """The console lines that are not the frame rate, from the first frame-rate line on."""
    start = next(i for i, line in enumerate(lines) if is_frame_rate_line(line))
    return [line for line in lines[start:] if not is_frame_rate_line(line)]


class Controls(unittest.TestCase):
    def test_effect_keys_answer_only_in_walk_mode(self):
        run = DemoRun()
        try:
            # Keys go in only once the frame loop runs, so everything printed from here on answers them.
            self.assertIsNotNone(run.wait_for_frame_rate(), "".join(run.stdout + run.stderr))
            run.key("F1", "F2", "F3", "F4", "F5")
            run.key("F10", "F1", "F2", "F3", "F4", "F5", "F10")
            self.assertIsNotNone(run.wait_for_line(lambda l: l == "Dof show changed. \n", timeout=30))
            # Back in demo mode the effect keys are locked again.
            run.key("F1", "F4")
            self.assertIsNotNone(run.wait_for_frame_rate(timeout=30))
            run.key("Escape")
            self.assertEqual(run.wait(), 0)
        finally:
            run.kill()
        self.assertEqual(lines_after_first_frame_rate(run.stdout), WALK_CONFIRMATIONS)
        self.assertEqual(run.stderr, [])


if __name__ == "__main__":
    unittest.main()

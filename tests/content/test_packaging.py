"""What the desktop reads of the program: the desktop entry and the AppStream metainfo pass their own
validators, and the metainfo names the window's class and the licences that LICENSE states."""
import glob
import os
import re
import subprocess
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PACKAGING = os.path.join(ROOT, "packaging")


def only(pattern):
    found = glob.glob(os.path.join(PACKAGING, pattern))
    assert len(found) == 1, found
    return found[0]


class DesktopFiles(unittest.TestCase):
    def test_the_desktop_entry_and_the_metainfo_pass_their_validators(self):
        for command in (["desktop-file-validate", only("*.desktop")],
                        ["appstreamcli", "validate", "--no-net", only("*.metainfo.xml")]):
            with self.subTest(command=command[0]):
                result = subprocess.run(command, capture_output=True, text=True, timeout=60)
                self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_the_entry_matches_the_window_and_the_metainfo_the_licence(self):
        with open(only("*.desktop")) as entry:
            self.assertIn("StartupWMClass=tellmarin\n", entry.read())
        with open(only("*.metainfo.xml")) as metainfo:
            text = metainfo.read()
        with open(os.path.join(ROOT, "LICENSE")) as licence:
            stated = re.findall(r"SPDX-License-Identifier: (\S+)", licence.read())
        self.assertEqual(re.search(r"<project_license>(.*)</project_license>", text).group(1),
                         " AND ".join(stated))
        self.assertIn("<launchable type=\"desktop-id\">%s</launchable>" % os.path.basename(only("*.desktop")),
                      text)


if __name__ == "__main__":
    unittest.main()

"""program_facts.py: the facts of program_facts.sh beside this file, for the Python tests and
scripts, as integers (the window's title is the shell scripts' alone)."""

import os
import shlex

with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "program_facts.sh"),
          encoding="utf-8") as _source:
    _FACTS = dict(line.split("=", 1) for line in shlex.split(_source.read(), comments=True))

WINDOW_PX = int(_FACTS["WINDOW_PX"])
REPORT_LINES = int(_FACTS["REPORT_LINES"])
MENU_ENTRIES = int(_FACTS["MENU_ENTRIES"])
SCALE_ENTRY = int(_FACTS["SCALE_ENTRY"])

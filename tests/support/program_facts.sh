# program_facts.sh: what the program shows, stated once for the scripts and the Python tests:
# sourced by the shell scripts, read by program_facts.py. The C++ tests state the same in
# program_facts.h. Plain NAME=value lines only.
WINDOW_TITLE="Sample Drawing"
# The window's edge and its canvas's in the page, in pixels.
WINDOW_PX=300
# The start-up report: 20 lines of each accumulation loop and four equality verdicts.
REPORT_LINES=44
MENU_ENTRIES=11
# The entry that starts a scale chain.
SCALE_ENTRY=5

"""pack_page.py: puts the browser build's page together as one file that runs from a web server
and straight from the disk: web/index.html with its style sheet inlined, its icon as a data URL,
and its scripts (the program's, then the page's own files in the order index.html lists them)
inlined as one script. The program's script carries its WebAssembly (Emscripten's SINGLE_FILE).
Everything is wrapped in one function, so nothing leaks into the window's globals; the page's
own files run in strict mode. Their comment lines stay in web/, where they are read, and are left
out of the file handed out, which must stay small. Run by the web build (web/CMakeLists.txt).

Usage: python3 scripts/lib/pack_page.py WEB_DIR PROGRAM_JS ICON_SVG OUTPUT.html...
"""

import base64
import os
import re
import sys

LINK_STYLE = re.compile(r'<link rel="stylesheet" href="([^"]+)">')
LINK_ICON = re.compile(r'(<link rel="icon" href=")([^"]+)(")')
SCRIPT = re.compile(r'[ \t]*<script src="([^"]+)"></script>\n')
# A line holding only a comment; the page's scripts have no multi-line strings it could be part of.
COMMENT_LINE = re.compile(r'^[ \t]*//.*\n', re.M)
PROGRAM = "sample-drawing.js"


def read(path):
    with open(path, encoding="utf-8") as source:
        return source.read()


def inline(text, closing, name):
    """Text to go between <style> or <script> tags, refused where it would end them early."""
    if closing in text.lower():
        sys.exit("pack_page.py: %s contains %s" % (name, closing))
    return text


def pack(web_dir, program_js, icon_svg):
    page = read(os.path.join(web_dir, "index.html"))
    page = LINK_STYLE.sub(
        lambda m: "<style>\n%s</style>" % inline(read(os.path.join(web_dir, m.group(1))),
                                                "</style", m.group(1)), page)
    with open(icon_svg, "rb") as icon:
        data_url = "data:image/svg+xml;base64," + base64.b64encode(icon.read()).decode("ascii")
    page = LINK_ICON.sub(lambda m: m.group(1) + data_url + m.group(3), page)

    names = SCRIPT.findall(page)
    if not names or names[0] != PROGRAM or PROGRAM in names[1:]:
        sys.exit("pack_page.py: index.html must list %s first, then the page's scripts" % PROGRAM)
    own = "".join("// %s\n%s\n" % (name, COMMENT_LINE.sub("", read(os.path.join(web_dir, name))))
                  for name in names[1:])
    script = ("<script>\n(function () {\n%s\n(function () {\n\"use strict\";\n%s}());\n}());\n"
              "</script>\n" % (read(program_js), own))
    inline(script[len("<script>"):-len("</script>\n")], "</script", "a script")
    first = SCRIPT.search(page)
    page = page[:first.start()] + script + SCRIPT.sub("", page[first.end():])
    return page


def main():
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    page = pack(*sys.argv[1:4])
    for output in sys.argv[4:]:
        with open(output, "w", encoding="utf-8") as packed:
            packed.write(page)


if __name__ == "__main__":
    main()

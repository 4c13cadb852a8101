# Prints what AT-SPI shows of the quillbox application: each accessible as
# role|name|description, indented by depth. What lies inside the text box
# (its viewport and scroll bars) is Qt's own and left out.
import sys
import time

import pyatspi


def show(accessible, depth):
    print("%s%s|%s|%s" % ("  " * depth, accessible.getRoleName(), accessible.name, accessible.description))
    if accessible.getRole() == pyatspi.ROLE_TEXT:
        return
    for i in range(accessible.childCount):
        show(accessible.getChildAtIndex(i), depth + 1)


desktop = pyatspi.Registry.getDesktop(0)
for _ in range(100):
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "quillbox" and app.childCount > 0:
            for j in range(app.childCount):
                show(app.getChildAtIndex(j), 0)
            sys.exit(0)
    time.sleep(0.1)
print("quillbox never showed up on the accessibility bus", file=sys.stderr)
sys.exit(1)

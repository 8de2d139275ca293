"""Drives Morlanz through the accessibility bus (see accessibility_test.sh). Argument: its process id."""
import sys
import time

import pyatspi

pid = int(sys.argv[1])
failures = []


def check(what, ok):
    print(("ok   - " if ok else "FAIL - ") + what)
    if not ok:
        failures.append(what)


def walk(node, depth=0):
    yield node
    if depth > 40:
        return
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def app_of(pid, seconds=30):
    end = time.time() + seconds
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            try:
                if app is not None and app.get_process_id() == pid:
                    return app
            except Exception:
                pass
        time.sleep(0.2)
    return None


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def find(app, role, name=None, seconds=10):
    end = time.time() + seconds
    while time.time() < end:
        for node in walk(app):
            try:
                if node.getRoleName() == role and (name is None or node.name == name) and showing(node):
                    return node
            except Exception:
                pass
        time.sleep(0.2)
    return None


app = app_of(pid)
if app is None:
    print("FAIL - the program never appeared on the accessibility bus")
    sys.exit(1)

frame = find(app, "frame")
check("the main window is a frame named by its caption", frame is not None and frame.name.startswith("Morlanz 1."))
check("the job list is named by its caption label", find(app, "list", "Sicherung") is not None)
for caption in ("Sicherung anlegen", "Sicherung bearbeiten", "Sicherung löschen", "Sicherung starten",
                "Logdatei anzeigen", "Programm beenden"):
    check('push button "%s"' % caption, find(app, "push button", caption) is not None)

delete = find(app, "push button", "Sicherung löschen")
check("its description is the tool tip", delete is not None and delete.description == "ausgewählte Sicherung löschen")
if delete is not None:
    delete.queryAction().doAction(0)
question = find(app, "alert")
check("pressing it asks the delete question", question is not None)
if question is not None:
    texts = [n.name for n in walk(question)]
    check("the question names the job", any("Fotos" in t and "wirklich löschen?" in t for t in texts))
    cancel = find(question, "push button", "Abbrechen")
    ok = find(question, "push button", "OK")
    check('its buttons read "OK" and "Abbrechen"', cancel is not None and ok is not None)
    if cancel is not None:
        cancel.queryAction().doAction(0)
        time.sleep(1)
        check("Abbrechen closes the question", find(app, "alert", seconds=1) is None)

sys.exit(1 if failures else 0)

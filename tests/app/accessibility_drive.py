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

# The editor, opened and left through the picture buttons' actions.
new_job = find(app, "push button", "Sicherung anlegen")
if new_job is not None:
    new_job.queryAction().doAction(0)
tree = None
for role in ("tree", "tree table"):
    tree = tree or find(app, role, "Pfad wählen", seconds=5)
check("the editor's folder tree is named by its caption label", tree is not None)
check("the tree is filled (the tree thread has run)", tree is not None and tree.childCount > 0)
source = find(app, "push button", "Quelle >>")
check('"Quelle >>" is a push button described by its tool tip',
      source is not None and source.description == "Datei zur Sicherung hinzufügen")
for caption in ("löschen", "alles löschen", "Ziel >>", "Aktualisieren", "Sicherung speichern",
                "Sicherung verwerfen"):
    check('editor push button "%s"' % caption, find(app, "push button", caption) is not None)
for role, name in (("text", "Name der Sicherung"), ("list", "von"), ("text", "nach"), ("check box", "aktiv")):
    check('editor %s "%s"' % (role, name), find(app, role, name) is not None)
discard = find(app, "push button", "Sicherung verwerfen")
if discard is not None:
    discard.queryAction().doAction(0)
    time.sleep(2)
    check("Sicherung verwerfen leads back to the overview", find(app, "push button", "Sicherung anlegen") is not None
          and find(app, "push button", "Quelle >>", seconds=1) is None)

sys.exit(1 if failures else 0)

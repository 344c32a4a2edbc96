"""The running program as a screen reader sees it over AT-SPI (started by
scripts/a11y-check.sh with the program directory as its argument).

Prints each window's controls (role, name, description, text), reports a
shown control without a name and two shown controls of one window with the
same name, and checks that text put into the log-directory edit through the
accessibility interface, without key events, is saved by OK."""

import os
import sys
import threading
import time

import pyatspi

CONTROLS = {"push button", "toggle button", "check box", "radio button", "combo box", "text", "entry",
            "spin button", "table", "tree table", "list", "password text", "slider"}
problems = []


def application():
    for _ in range(200):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name and "vortane" in app.name.lower():
                return app
        time.sleep(0.1)
    sys.exit("vortane did not appear on the accessibility bus")


def text_of(acc):
    try:
        return acc.queryText().getText(0, -1)
    except Exception:
        return None


def state(acc, which):
    try:
        return acc.getState().contains(which)
    except Exception:
        return False


def nodes(acc, depth=0, into_menus=False, out=None):
    out = [] if out is None else out
    try:
        role = acc.getRoleName()
    except Exception:
        return out
    if not into_menus and role in ("menu", "popup menu") and depth > 1:
        return out
    out.append((depth, acc, role))
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            nodes(child, depth + 1, into_menus, out)
    return out


def labelled_by(acc):
    names = []
    for rel in acc.getRelationSet():
        if rel.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            names += [rel.getTarget(i).name for i in range(rel.getNTargets())]
    return names


def dump(window, title):
    print(f"=== {title}: {window.getRoleName()} '{window.name}'")
    seen = set()
    for depth, acc, role in nodes(window):
        name = acc.name or ""
        line = "  " * depth + f"{role}: '{name}'"
        if acc.description:
            line += f" ({acc.description})"
        text = text_of(acc)
        if role in ("label", "text") and text is not None and text != name:
            line += f" text='{text}'"
        heard = name
        if role == "combo box":
            # Qt on Linux reports the current item as the name; the caption
            # comes through the "labelled by" relation.
            labels = labelled_by(acc)
            line += f" labelled-by={labels}"
            heard = labels[0] if labels else ""
        if role in ("table", "tree table"):
            table = acc.queryTable()
            heads = [table.getColumnDescription(c) for c in range(table.nColumns)]
            first = [table.getAccessibleAt(0, c).name for c in range(table.nColumns)] if table.nRows else []
            line += f" columns={heads} rows={table.nRows} first={first}"
        if role in CONTROLS or (role == "label" and text):
            print(line)
        if role in CONTROLS and state(acc, pyatspi.STATE_SHOWING) and role != "list":
            if not heard.strip() and not acc.description:
                problems.append(f"{title}: a {role} without a name")
            elif role != "combo box" and heard in seen:
                problems.append(f"{title}: two controls read as '{heard}'")
            seen.add(heard)


def windows(app):
    return [app.getChildAtIndex(i) for i in range(app.childCount) if app.getChildAtIndex(i) is not None]


def find(root, role, name, into_menus=False):
    for _, acc, r in nodes(root, into_menus=into_menus):
        if r == role and acc.name == name:
            return acc
    return None


def press(acc):
    # An action that opens a modal window answers only when that window
    # closes: the call runs on its own thread and its reply is not awaited.
    threading.Thread(target=lambda: _ignore(lambda: acc.queryAction().doAction(0)), daemon=True).start()


def _ignore(call):
    try:
        call()
    except Exception:
        pass


def wait_window(app, name, timeout=10):
    end = time.time() + timeout
    while time.time() < end:
        for w in windows(app):
            if w.name == name:
                return w
        time.sleep(0.2)
    return None


def answer_message_boxes(app, seconds):
    end = time.time() + seconds
    while time.time() < end:
        for w in windows(app):
            if w.getRoleName() in ("dialog", "alert") and w.name != "Nastavenia programu":
                ok = find(w, "push button", "OK")
                texts = [a.name for _, a, r in nodes(w) if r == "label" and a.name]
                if ok is not None and texts:
                    print(f"message box '{w.name}': {texts}")
                    press(ok)
                    time.sleep(0.5)
        time.sleep(0.3)


def focused(window):
    return [acc.name for _, acc, _ in nodes(window) if state(acc, pyatspi.STATE_FOCUSED)]


def main(work):
    app = application()
    answer_message_boxes(app, 3)
    frame = wait_window(app, "VORTANE")
    if frame is None:
        sys.exit("the main window did not appear")
    time.sleep(3)  # a few heartbeats fill the device panel
    dump(frame, "TForm1")
    panel = find(frame, "label", "Čas:")
    print("'Čas:' reads:", repr(text_of(panel)) if panel else None)
    if panel is None or not text_of(panel):
        problems.append("the time panel is not read as 'Čas:' with the terminal's time")

    item = find(frame, "menu item", "Nastavenia programu", into_menus=True)
    if item is None:
        sys.exit("menu item 'Nastavenia programu' not found")
    press(item)
    dialog = wait_window(app, "Nastavenia programu")
    if dialog is None:
        sys.exit("the settings dialog did not open")
    time.sleep(1)
    dump(dialog, "Tfrmsetup")
    print("focus when shown:", focused(dialog))
    edit = find(dialog, "text", "Adresár záznamov:")
    if edit is None:
        problems.append("no edit read as 'Adresár záznamov:'")
    else:
        folder = os.path.join(work, "Log2") + "/"
        edit.queryEditableText().setTextContents(folder)
        time.sleep(0.3)
        press(find(dialog, "push button", "OK"))
        time.sleep(1.5)
        answer_message_boxes(app, 1)
        with open(os.path.join(work, "vortane.ini"), encoding="cp1250") as ini:
            stored = [line for line in ini.read().splitlines() if line.upper().startswith("LOGDIR=")]
        print("vortane.ini after OK:", stored)
        if stored != ["LOGDIR=" + folder]:
            problems.append("the log directory set without typing was not saved")

    for menu, title in (("Hodinová kalkulačka", "Hodinová kalkulačka"), ("Stav pracovníkov", "Stav pracovníkov"),
                        ("O programe", "O programe")):
        item = find(frame, "menu item", menu, into_menus=True)
        if item is None:
            problems.append(f"menu item '{menu}' not found")
            continue
        press(item)
        window = wait_window(app, title)
        if window is None:
            problems.append(f"the window '{title}' did not open")
            continue
        time.sleep(0.8)
        dump(window, title)
        print("focus when shown:", focused(window))
        if title == "O programe":
            press(find(window, "push button", "OK"))

    if problems:
        print("PROBLEMS:")
        for p in problems:
            print("  " + p)
        return 1
    print("every control found by its name; the directory set without typing was saved")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))

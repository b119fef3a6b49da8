#!/usr/bin/python3
"""Reads the program's accessible objects as a screen reader does, through AT-SPI, and prints JSON.

  links             each link of the menu: name, shortcut, place on the screen, whether it can be used
  texts             the texts of the program's message boxes, with their titles
  press NAME        performs the first action of the link or button called NAME
"""
import json
import sys

import pyatspi


def app():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        a = desktop.getChildAtIndex(i)
        if a is not None and a.name == "velmaro":
            return a
    return None


def walk(node, depth=0):
    if node is None or depth > 30:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


def links(a):
    out = []
    for n in walk(a):
        if n.getRoleName() != "link":
            continue
        states = n.getState()
        e = n.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        attributes = {}
        try:
            for pair in n.getAttributes():
                k, _, v = pair.partition(":")
                attributes[k] = v
        except Exception:
            pass
        out.append({"name": n.name, "x": e.x, "y": e.y, "width": e.width, "height": e.height,
                    "showing": states.contains(pyatspi.STATE_SHOWING),
                    "sensitive": states.contains(pyatspi.STATE_SENSITIVE),
                    "focused": states.contains(pyatspi.STATE_FOCUSED),
                    "shortcut": attributes.get("keyshortcuts", "")})
    return out


def texts(a):
    out = []
    for w in (a.getChildAtIndex(i) for i in range(a.childCount)):
        if w is None:
            continue
        labels = [n.name for n in walk(w) if n.getRoleName() == "label" and n.name]
        if labels:
            out.append({"title": w.name, "labels": labels})
    return out


def press(a, name):
    for n in walk(a):
        # GTK names a button by its mnemonic and its label ("_OK OK"); its label child holds the text.
        labels = [n.getChildAtIndex(i).name for i in range(n.childCount)] if n.getRoleName() == "push button" else []
        if (n.name == name or name in labels) and n.getRoleName() in ("link", "push button"):
            action = n.queryAction()
            return {"done": action.doAction(0), "action": action.getName(0)}
    return {"done": False}


def main():
    a = app()
    if a is None:
        print(json.dumps({"error": "no velmaro on the accessibility bus"}))
        return 1
    if sys.argv[1] == "links":
        print(json.dumps(links(a)))
    elif sys.argv[1] == "texts":
        print(json.dumps(texts(a)))
    elif sys.argv[1] == "press":
        print(json.dumps(press(a, sys.argv[2])))
    return 0


if __name__ == "__main__":
    sys.exit(main())

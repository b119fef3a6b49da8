"""The case groups, one module each. A new group is a module here with a cases() function returning its Case
records, plus its name in GROUPS (which also sets the order of the run)."""

import importlib

GROUPS = ["startup", "windows", "pages", "actions", "hover", "mends", "dbcs", "unicode", "hardening", "keyboard", "one_at_a_time",
          "designer", "designer_panel"]


def all_cases():
    out = []
    for name in GROUPS:
        out += importlib.import_module("cases." + name).cases()
    return out

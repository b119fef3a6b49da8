#!/usr/bin/python3
# What the desktop's opener (xdg-open, first on PATH), Wine and a script of the disc are started with: one
# JSON line in the file $VELMARO_E2E_RECORD names.
import json
import os
import sys

with open(os.environ["VELMARO_E2E_RECORD"], "a") as f:
    f.write(json.dumps({"kind": os.path.basename(sys.argv[0]), "cwd": os.getcwd(), "argv": sys.argv}) + "\n")

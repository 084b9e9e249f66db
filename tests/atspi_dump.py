#!/usr/bin/python3
"""Prints what a screen reader sees of a running program, one object a line:
role|name|description, for every object of the application whose name is
given, its windows included. Usage: atspi_dump.py APPLICATION_NAME"""
import sys

import pyatspi


def walk(accessible, depth=0):
    if accessible is None or depth > 12:
        return
    print(f"{accessible.getRoleName()}|{accessible.name}|{accessible.description}")
    for i in range(accessible.childCount):
        walk(accessible.getChildAtIndex(i), depth + 1)


for application in pyatspi.Registry.getDesktop(0):
    if application is not None and application.name == sys.argv[1]:
        walk(application)

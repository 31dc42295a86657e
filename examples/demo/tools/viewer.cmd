@echo off
rem Opens a demo document in Notepad.
start notepad %1

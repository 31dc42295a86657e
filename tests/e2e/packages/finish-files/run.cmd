@echo run> "%~dp0program-started.txt"

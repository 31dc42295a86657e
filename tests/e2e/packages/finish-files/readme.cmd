@echo readme> "%~dp0readme-opened.txt"

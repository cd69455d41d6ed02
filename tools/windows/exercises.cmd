@echo off
rem The exercises, first to last, and how far you got with each (progress.txt
rem in mine\NAME\). Start one with: exercise NAME   (add --core for the core profile)
setlocal
cd /d "%~dp0"
if not exist exercises\exercises.txt (echo This folder has no exercises\exercises.txt: unzip the whole zip. & exit /b 2)
echo The exercises, first to last (exercise NAME starts one in mine\NAME; check NAME VERT FRAG checks a pair):
set solved=0
set count=0
set next=
for /f "usebackq tokens=1,2,8,9,10 delims=	" %%a in (`lesson_ambient.exe --list-exercises lines`) do (
  set /a count+=1
  if "%%e"=="solved" (set /a solved+=1) else if not defined next set "next=%%a"
  echo   %%a   in %%b   %%d
  echo       %%c
)
if %count%==0 (echo The exercises could not be read: see the lines above. & exit /b 2)
if defined next (echo %solved% of %count% solved. Next: exercise %next%) else (echo %solved% of %count% solved.)
exit /b 0

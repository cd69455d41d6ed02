@echo off
rem Check a pair against an exercise's target: check NAME VERT FRAG [--core]
rem Status 0 when every probe passes, 1 when one does not (or the pair does
rem not build), 2 for a name or a file that is not there.
setlocal
rem The files as named from where the teacher is, before going to the programs.
set "vert=%~f2"
set "frag=%~f3"
cd /d "%~dp0"
set "name=%~1"
set core=
if /i "%~4"=="--core" set core=--core
if "%~3"=="" (echo usage: check NAME VERT FRAG [--core] & exit /b 2)
if not exist "%vert%" (echo No file %vert% & exit /b 2)
if not exist "%frag%" (echo No file %frag% & exit /b 2)
set lesson=
for /f "usebackq tokens=1-7 delims=	" %%a in (`lesson_ambient.exe %core% --list-exercises lines`) do (
  if "%%a"=="%name%" (set "lesson=%%b" & set "startv=%%c" & set "startf=%%d" & set "filev=%%e" & set "filef=%%f" & set "textures=%%g")
)
if not defined lesson (echo There is no exercise called "%name%": exercises lists them. & exit /b 2)
"%lesson%.exe" %core% --check %name% --pair "%vert%" "%frag%"
exit /b %errorlevel%

@echo off
rem Practise an exercise: exercise NAME [--core]
rem Its starting pair is copied into mine\NAME\ (your own files there are kept),
rem and the lesson's window checks every save of them against the target.
setlocal
cd /d "%~dp0"
set "name=%~1"
set core=
if /i "%~2"=="--core" set core=--core
if "%name%"=="" (echo usage: exercise NAME [--core]   ^(exercises lists them^) & exit /b 2)
set lesson=
for /f "usebackq tokens=1-7 delims=	" %%a in (`lesson_ambient.exe %core% --list-exercises lines`) do (
  if "%%a"=="%name%" (set "lesson=%%b" & set "startv=%%c" & set "startf=%%d" & set "filev=%%e" & set "filef=%%f" & set "textures=%%g")
)
if not defined lesson (echo There is no exercise called "%name%": exercises lists them. & exit /b 2)
set "folder=mine\%name%"
if not exist "%folder%" mkdir "%folder%"
if defined core if not exist "%folder%\core" mkdir "%folder%\core"
if not exist "%folder%\" (echo Cannot make %folder%: make the folder writable and try again. & exit /b 1)
call :start "%startv%" "%filev%"
if errorlevel 1 exit /b 1
call :start "%startf%" "%filef%"
if errorlevel 1 exit /b 1
if "%textures%"=="textures" (
  if not exist "%folder%\tex0.tga" copy /y tex0.tga "%folder%\" >nul
  if not exist "%folder%\tex1.tga" copy /y tex1.tga "%folder%\" >nul
)
cd /d "%folder%"
"%~dp0%lesson%.exe" %core% --explore --exercise %name%
exit /b %errorlevel%

:start
rem The starting file %1 as the learner's %2, unless they have one.
set "from=%~1"
set "from=%from:data/=%"
set "from=%from:/=\%"
set "to=%folder%\%~2"
set "to=%to:/=\%"
if exist "%to%" (echo Keeping your %to% ^(delete it to start again from %from%^). & exit /b 0)
rem Copied whole or not at all: a full disk leaves no cut file to keep.
copy /y "%from%" "%to%.part" >nul
if errorlevel 1 goto :failed
move /y "%to%.part" "%to%" >nul
if errorlevel 1 goto :failed
echo Started %to% from %from%.
exit /b 0

:failed
del "%to%.part" 2>nul
echo Could not copy %from% to %to%: make room on the disk, or make %folder% writable, and try again.
exit /b 1

# Writes the manual page zyntra.6 from the program's -help text.
#   cmake -DPROGRAM=<zyntra> -DOUTPUT=<zyntra.6> -DVERSION=<x.y> -P man_page.cmake
execute_process(COMMAND ${PROGRAM} -help OUTPUT_VARIABLE HELP RESULT_VARIABLE STATUS)
if(NOT STATUS EQUAL 0 OR HELP STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} -help failed (${STATUS})")
endif()

# roff: a backslash is \e, a minus is \-, and \& keeps a line from starting a request.
string(REPLACE "\\" "\\e" HELP "${HELP}")
string(REPLACE "-" "\\-" HELP "${HELP}")
string(REGEX REPLACE "\n$" "" HELP "${HELP}")
string(REPLACE "\n" "\n\\&" HELP "${HELP}")

file(WRITE ${OUTPUT} ".TH ZYNTRA 6 \"\" \"Zyntra ${VERSION}\" \"Games\"
.SH NAME
zyntra \\- a classic 16\\-colour side\\-scrolling platform game, with a free episode of its own
.SH SYNOPSIS
.B zyntra
.RI [ options ]
.SH DESCRIPTION
Brax Tovar runs, jumps, somersaults, hangs from ceilings and shoots his way through the
levels of an episode.
.B zyntra
plays the episode files of the game directory: the one given with
.BR \\-dir= ,
else the working directory when it holds them, else the episode installed with the program.
.SH OPTIONS
.nf
\\&${HELP}
.fi
.SH FILES
.TP
.I <prefix>/share/zyntra/episode/
the free episode (extension .QZ1), found relative to the program.
.TP
.I $XDG_DATA_HOME/zyntra/<extension>/
savegames, the quick save, high scores, KEYS, the user demo, Zyntra.ini, log.txt and
screenshots when the game directory is installed or cannot be written (default
.IR ~/.local/share/zyntra/QZ1/ ).
Files there are read first. A writable game directory keeps its own savegames, high
scores, KEYS and demo, and the working directory the rest.
")

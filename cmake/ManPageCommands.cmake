# Writes a help2man include file with a COMMANDS section: the --help text of
# each subcommand of a program, whose top-level help lists only their names.
#
#   cmake -DPROGRAM=<executable> -DNAME=<program name> -DCOMMANDS=<a,b,c>
#         -DOUTPUT=<file> -P ManPageCommands.cmake
foreach(parameter PROGRAM NAME COMMANDS OUTPUT)
  if(NOT DEFINED ${parameter})
    message(FATAL_ERROR "ManPageCommands.cmake needs -D${parameter}=...")
  endif()
endforeach()

string(REPLACE "," ";" COMMANDS "${COMMANDS}")
set(text "[COMMANDS]\n")
foreach(command IN LISTS COMMANDS)
  execute_process(COMMAND ${PROGRAM} ${command} --help OUTPUT_VARIABLE help
                  COMMAND_ERROR_IS_FATAL ANY)
  # Shown as typed: a backslash is roff's escape, a leading dot or quote a request.
  string(REPLACE "\\" "\\e" help "${help}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
  string(APPEND text ".SS \"${NAME} ${command}\"\n.nf\n${help}.fi\n")
endforeach()
file(WRITE ${OUTPUT} "${text}")

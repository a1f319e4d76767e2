# Writes a help2man include file: a COMMANDS section with the --help text of
# each subcommand that the program's own --help lists (it shows only their
# names), so that the manual page follows the program as it grows, and a SEE
# ALSO section that points to the documents.
#
#   cmake -DPROGRAM=<executable> -DNAME=<program name> -DDOCS=<installed documents folder>
#         -DOUTPUT=<file> -P ManPageCommands.cmake
foreach(parameter PROGRAM NAME DOCS OUTPUT)
  if(NOT DEFINED ${parameter})
    message(FATAL_ERROR "ManPageCommands.cmake needs -D${parameter}=...")
  endif()
endforeach()

execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help COMMAND_ERROR_IS_FATAL ANY)
set(commands)
if(help MATCHES "\nSubcommands:\n(.*)")
  string(REGEX MATCHALL "(^|\n)  [a-z][a-z0-9-]*" names "${CMAKE_MATCH_1}")
  foreach(name IN LISTS names)
    string(STRIP "${name}" name)
    list(APPEND commands ${name})
  endforeach()
endif()

set(text "")
if(commands)
  set(text "[COMMANDS]\n")
endif()
foreach(command IN LISTS commands)
  execute_process(COMMAND ${PROGRAM} ${command} --help OUTPUT_VARIABLE help
                  COMMAND_ERROR_IS_FATAL ANY)
  # Shown as typed: a backslash is roff's escape, a leading dot or quote a request.
  string(REPLACE "\\" "\\e" help "${help}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
  string(APPEND text ".SS \"${NAME} ${command}\"\n.nf\n${help}.fi\n")
endforeach()
string(APPEND text "[SEE ALSO]\nThe README, the ECU description format and the examples in\n.IR ${DOCS} .\n")
file(WRITE ${OUTPUT} "${text}")

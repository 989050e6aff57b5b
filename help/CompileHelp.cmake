# Builds one compiled HTML help file from a help folder:
#   cmake -DSOURCE=<folder> -DSTAGE=<scratch folder> -DOUTPUT=<file.chm>
#         -DTITLE=<title> -DDEFAULT=<topic.htm> -DCHMCMD=<chmcmd> -P CompileHelp.cmake
# The folder holds help.css, contents.hhc, topics/*.htm and contexts.txt (one
# line a context: number, topic file, note).
#
# chmcmd loses an alias whose topic another alias already names, and it does
# not find aliased topics in subfolders.  So the topics are staged in one flat
# folder, and each further context of a topic gets a copy of the topic under
# a name of its own; the first context of a topic opens the topic itself, which
# keeps the contents pane in step for it.
cmake_minimum_required(VERSION 3.20)

foreach(required SOURCE STAGE OUTPUT TITLE DEFAULT CHMCMD)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "CompileHelp.cmake needs -D${required}=...")
  endif()
endforeach()

file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}")
file(GLOB topics RELATIVE "${SOURCE}/topics" "${SOURCE}/topics/*.htm")
list(SORT topics)
foreach(topic IN LISTS topics)
  file(COPY "${SOURCE}/topics/${topic}" DESTINATION "${STAGE}")
endforeach()
file(COPY "${SOURCE}/help.css" "${SOURCE}/contents.hhc" DESTINATION "${STAGE}")

set(files ${topics})
set(aliases "")
set(map "")
set(aliased "")
file(STRINGS "${SOURCE}/contexts.txt" lines)
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*(#|$)")
    continue()
  endif()
  if(NOT line MATCHES "^([0-9]+)[ \t]+([A-Za-z0-9_.-]+\\.htm)")
    message(FATAL_ERROR "contexts.txt: cannot read \"${line}\"")
  endif()
  set(context ${CMAKE_MATCH_1})
  set(topic ${CMAKE_MATCH_2})
  if(NOT topic IN_LIST topics)
    message(FATAL_ERROR "contexts.txt: context ${context} opens ${topic}, which is not in topics/")
  endif()
  if(topic IN_LIST aliased)
    string(REGEX REPLACE "\\.htm$" "-${context}.htm" target "${topic}")
    file(COPY_FILE "${SOURCE}/topics/${topic}" "${STAGE}/${target}")
    list(APPEND files ${target})
  else()
    set(target ${topic})
    list(APPEND aliased ${topic})
  endif()
  string(APPEND aliases "IDH_${context}=${target}\n")
  string(APPEND map "#define IDH_${context} ${context}\n")
endforeach()
file(WRITE "${STAGE}/aliases.h" "${aliases}")
file(WRITE "${STAGE}/contexts.h" "${map}")

get_filename_component(chm_name "${OUTPUT}" NAME)
list(JOIN files "\n" file_list)
file(WRITE "${STAGE}/project.hhp"
"[OPTIONS]
Compatibility=1.1 or later
Compiled file=${chm_name}
Contents file=contents.hhc
Default topic=${DEFAULT}
Display compile progress=No
Full-text search=Yes
Language=0x409 English (United States)
Title=${TITLE}

[FILES]
help.css
${file_list}

[ALIAS]
#include aliases.h

[MAP]
#include contexts.h
")

# chmcmd also stores each context's topic by its full path on the build
# machine, where the viewer needs the path inside the file ("/topic.htm").
# The two agree when the staging folder is the root: chmcmd runs in a private
# user and mount namespace whose root is the staging folder, with the
# system's folders lent to it.
find_program(UNSHARE unshare)
set(result 1)
if(UNSHARE)
  execute_process(
    COMMAND "${UNSHARE}" --user --map-root-user --mount sh -c [[
      root=$1 chmcmd=$2
      for folder in usr lib lib32 lib64 libx32 bin sbin etc; do
        [ -d "/$folder" ] || continue
        mkdir -p "$root/$folder" && mount --rbind "/$folder" "$root/$folder" || exit 1
      done
      cd "$root" && exec chroot "$root" "$chmcmd" --no-html-scan project.hhp
    ]] sh "${STAGE}" "${CHMCMD}"
    WORKING_DIRECTORY "${STAGE}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
endif()
if(NOT result EQUAL 0)
  message(WARNING "chmcmd could not run with the staging folder as its root (${output}): "
                  "the help's contents work, its context numbers do not")
  execute_process(COMMAND "${CHMCMD}" --no-html-scan project.hhp
                  WORKING_DIRECTORY "${STAGE}"
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
endif()
# chmcmd reports a broken project on its output and still exits with 0.
if(NOT result EQUAL 0 OR output MATCHES "corrupt|rror" OR NOT EXISTS "${STAGE}/${chm_name}")
  message(FATAL_ERROR "chmcmd failed on ${SOURCE}:\n${output}")
endif()
file(COPY_FILE "${STAGE}/${chm_name}" "${OUTPUT}")

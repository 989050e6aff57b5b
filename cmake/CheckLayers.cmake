# Fails when a source file includes a header of a layer above its own.
# The layers run one way: common -> buttons -> toolbars -> app; each companion
# (explorer, wizard, tips, shellext) stands on common alone.  Each folder may
# also include its own program's resources, and common only the resources
# every program shares.
#   cmake -DSOURCE_DIR=... -DSTAMP=... -P CheckLayers.cmake
set(forbidden_common   "app/|toolbars/|buttons/|explorer/|wizard/|tips/|shellext/|resources/(lintel|explorer|wizard|tips|shellext)/")
set(forbidden_buttons  "app/|toolbars/|explorer/|wizard/|tips/|shellext/")
set(forbidden_toolbars "app/|explorer/|wizard/|tips/|shellext/")
set(forbidden_app      "explorer/|wizard/|tips/|shellext/")
set(forbidden_companion "app/|toolbars/|buttons/|resources/lintel/")
set(layers common buttons toolbars app explorer wizard tips shellext)

set(violations "")
foreach(layer IN LISTS layers)
  if(layer MATCHES "^(explorer|wizard|tips|shellext)$")
    set(forbidden "${forbidden_companion}")
    # A companion reaches no other companion either.
    foreach(other explorer wizard tips shellext)
      if(NOT other STREQUAL layer)
        string(APPEND forbidden "|${other}/")
      endif()
    endforeach()
  else()
    set(forbidden "${forbidden_${layer}}")
  endif()
  file(GLOB sources "${SOURCE_DIR}/${layer}/*.cpp" "${SOURCE_DIR}/${layer}/*.h")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" header "${line}")
      string(REGEX REPLACE "^(\\.\\./)+" "" target "${header}")
      if(header MATCHES "^\\.\\./" AND target MATCHES "^(${forbidden})")
        file(RELATIVE_PATH shown "${SOURCE_DIR}" "${source}")
        list(APPEND violations "${shown}: #include \"${header}\"")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Includes that point up a layer (common -> buttons -> toolbars -> app; companions on common only):\n  ${text}\nGive the lower layer an interface that the higher one implements.")
endif()
file(WRITE "${STAMP}" "")

# larkvale_sources(<var> <dir>...): the .cpp files of the given folders, picked up
# as they are added so that parallel work does not fight over source lists.
function(larkvale_sources var)
  set(found)
  foreach(dir IN LISTS ARGN)
    file(GLOB files CONFIGURE_DEPENDS "${dir}/*.cpp")
    list(APPEND found ${files})
  endforeach()
  list(SORT found)
  set(${var} ${found} PARENT_SCOPE)
endfunction()

# larkvale_qt_target(<target>): moc, rcc and uic for a Qt target.
function(larkvale_qt_target target)
  set_target_properties(${target} PROPERTIES AUTOMOC ON AUTORCC ON AUTOUIC OFF)
endfunction()

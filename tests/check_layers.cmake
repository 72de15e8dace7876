# The message store is the plug-in's lowest layer: it must build without the window, the editor,
# the worker, the alerts or the settings page, so that none of them can break it and its threads
# never reach into a widget. Run with -DPLUGIN_DIR=<src/SMSUIPlugin>.
file(GLOB store_files "${PLUGIN_DIR}/store/*.h" "${PLUGIN_DIR}/store/*.cpp")
# entry/ is not in the list yet: the store still asks the settings service to write missing defaults.
set(upper window editor worker alerts settings)
set(bad "")
foreach(f ${store_files})
  file(STRINGS "${f}" includes REGEX "^#include \"")
  foreach(line ${includes})
    foreach(layer ${upper})
      if(line MATCHES "\"${layer}/")
        get_filename_component(name "${f}" NAME)
        list(APPEND bad "${name}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()
if(bad)
  list(JOIN bad "\n  " text)
  message(FATAL_ERROR "the store includes headers of the layers above it:\n  ${text}")
endif()

# The customer and product masters: their rules (no widgets) and their windows.
target_sources(kadomel_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CustomerStore.cpp ${CMAKE_CURRENT_LIST_DIR}/CustomerStore.h
    ${CMAKE_CURRENT_LIST_DIR}/ProductStore.cpp ${CMAKE_CURRENT_LIST_DIR}/ProductStore.h)
target_sources(kadomel_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/TMasterListWindow.cpp ${CMAKE_CURRENT_LIST_DIR}/TMasterListWindow.h
    ${CMAKE_CURRENT_LIST_DIR}/TFtorihikisakiMaster.cpp ${CMAKE_CURRENT_LIST_DIR}/TFtorihikisakiMaster.h
    ${CMAKE_CURRENT_LIST_DIR}/TFtorihikisakiMaster2.cpp ${CMAKE_CURRENT_LIST_DIR}/TFtorihikisakiMaster2.h
    ${CMAKE_CURRENT_LIST_DIR}/TFsyohinMaster.cpp ${CMAKE_CURRENT_LIST_DIR}/TFsyohinMaster.h
    ${CMAKE_CURRENT_LIST_DIR}/TFsyohinMaster2.cpp ${CMAKE_CURRENT_LIST_DIR}/TFsyohinMaster2.h)

# The postal-code lookup with its address choice, and the customer search.
target_sources(kadomel_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/PostalLookup.cpp ${CMAKE_CURRENT_LIST_DIR}/PostalLookup.h
    ${CMAKE_CURRENT_LIST_DIR}/CustomerSearch.cpp ${CMAKE_CURRENT_LIST_DIR}/CustomerSearch.h)
target_sources(kadomel_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/AddressLookup.cpp ${CMAKE_CURRENT_LIST_DIR}/AddressLookup.h
    ${CMAKE_CURRENT_LIST_DIR}/TFyubinSel.cpp ${CMAKE_CURRENT_LIST_DIR}/TFyubinSel.h
    ${CMAKE_CURRENT_LIST_DIR}/TFtorihikisakiKensaku.cpp ${CMAKE_CURRENT_LIST_DIR}/TFtorihikisakiKensaku.h)

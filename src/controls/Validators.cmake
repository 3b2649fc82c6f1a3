# Input limits of the entry fields: the Shift-JIS length validator (no widgets) and the field set-up.
target_sources(kadomel_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/SjisLengthValidator.cpp ${CMAKE_CURRENT_LIST_DIR}/SjisLengthValidator.h)
target_sources(kadomel_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/EntryFields.cpp ${CMAKE_CURRENT_LIST_DIR}/EntryFields.h)

include(${CMAKE_CURRENT_SOURCE_DIR}/libreoffice.cmake)

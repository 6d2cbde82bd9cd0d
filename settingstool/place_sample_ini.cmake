# cmake -DSAMPLE=<sample ini> -DTARGET=<ZBQ.ini> -P place_sample_ini.cmake
# Copies the sample only where no ZBQ.ini is: one that exists is the user's, whatever its age.
if(NOT EXISTS "${TARGET}")
    get_filename_component(folder "${TARGET}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(COPY_FILE "${SAMPLE}" "${TARGET}")
endif()

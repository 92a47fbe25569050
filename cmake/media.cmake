# Decoders and makers of media that a tool and a backend share, each built
# once with its flags set once: the sound maker (the page's sounds and
# tools/sfxgen's WAV files) and, where libpng is, the PNG decoder (the
# desktop's pictures and tools/embed/decodepictures).
add_library(quillmoor_synth STATIC ${PROJECT_SOURCE_DIR}/media/synth.cpp)
target_include_directories(quillmoor_synth PRIVATE ${QUILLMOOR_VIEWS}/ground)
# The sound maker must round alike everywhere: no fused multiply-add.
target_compile_options(quillmoor_synth PRIVATE -ffp-contract=off)
if(TARGET PNG::PNG)
  add_library(quillmoor_png STATIC ${PROJECT_SOURCE_DIR}/media/png.cpp)
  target_include_directories(quillmoor_png PRIVATE ${QUILLMOOR_VIEWS}/ground)
  target_link_libraries(quillmoor_png PUBLIC PNG::PNG)
endif()

# Sanitizer builds. VORLEN_SANITIZE=address checks memory and undefined
# behaviour (AddressSanitizer with UndefinedBehaviorSanitizer), =thread checks
# data races (ThreadSanitizer); empty builds without. Every target defined
# after the include gets the flags, for compiling and linking. A finding ends
# the process, so no test can pass over one.
set(VORLEN_SANITIZE "" CACHE STRING "Sanitizer build: empty, address or thread")
set_property(CACHE VORLEN_SANITIZE PROPERTY STRINGS "" address thread)

if(VORLEN_SANITIZE STREQUAL "address")
  set(vorlen_sanitizer_flags -fsanitize=address,undefined -fno-sanitize-recover=all)
elseif(VORLEN_SANITIZE STREQUAL "thread")
  set(vorlen_sanitizer_flags -fsanitize=thread)
elseif(NOT VORLEN_SANITIZE STREQUAL "")
  message(FATAL_ERROR "VORLEN_SANITIZE must be empty, address or thread, not '${VORLEN_SANITIZE}'")
endif()

if(vorlen_sanitizer_flags)
  list(APPEND vorlen_sanitizer_flags -fno-omit-frame-pointer)
  add_compile_options(${vorlen_sanitizer_flags})
  add_link_options(${vorlen_sanitizer_flags})
endif()

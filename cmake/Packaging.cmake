# The Debian packages vorlen (the window and vorlen-provision) and
# vorlen-tracker-sim (the simulated tracker), one per install component, made by CPack's DEB
# generator: `cpack -G DEB` in the build directory (scripts/package-deb).
include(GNUInstallDirs)

set(packaging_source ${PROJECT_SOURCE_DIR}/packaging)
set(packaging_build ${PROJECT_BINARY_DIR}/packaging)
set(packaging_outputs)

# Debian wants man pages and changelogs compressed with gzip -9n: -n leaves
# out the name and time, so the same sources give the same package.
function(vorlen_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" gzip ${source} ${output}
    DEPENDS ${source} VERBATIM)
  set(packaging_outputs ${packaging_outputs} ${output} PARENT_SCOPE)
endfunction()

# A program with its man page, in the package of `component`.
function(vorlen_install_program component program)
  configure_file(${packaging_source}/${program}.1.in ${packaging_build}/${program}.1 @ONLY)
  vorlen_gzip(${packaging_build}/${program}.1 ${packaging_build}/${program}.1.gz)
  set(packaging_outputs ${packaging_outputs} PARENT_SCOPE)
  install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${component})
  install(FILES ${packaging_build}/${program}.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${component})
endfunction()

# What every package carries in its own documentation folder: the copyright
# and the changelog.
function(vorlen_package_docs component package)
  set(PACKAGE ${package})
  configure_file(${packaging_source}/changelog.in ${packaging_build}/${package}/changelog @ONLY)
  vorlen_gzip(${packaging_build}/${package}/changelog ${packaging_build}/${package}/changelog.gz)
  set(packaging_outputs ${packaging_outputs} PARENT_SCOPE)
  install(FILES ${packaging_source}/copyright ${packaging_build}/${package}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endfunction()

# vorlen holds the window and the fleet program, which a fleet operator
# installs the package for; the man pages point to the README beside them.
vorlen_install_program(vorlen vorlen)
vorlen_install_program(vorlen vorlen-provision)
vorlen_package_docs(vorlen vorlen)
# The journal's module, a private one, where the programs look for it
# (src/fleet/CMakeLists.txt); read-only as Debian wants shared objects.
if(TARGET vorlen-journal)
  install(TARGETS vorlen-journal LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/vorlen
    PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ COMPONENT vorlen)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vorlen COMPONENT vorlen)
# The pictures the README shows, beside it at the paths it names, so the
# installed copy shows them too; read from the README, so a new one ships.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/README.md)
file(READ ${PROJECT_SOURCE_DIR}/README.md readme)
string(REGEX MATCHALL "docs/screenshots/[A-Za-z0-9_.-]+\\.png" readme_pictures "${readme}")
list(REMOVE_DUPLICATES readme_pictures)
list(TRANSFORM readme_pictures PREPEND ${PROJECT_SOURCE_DIR}/)
install(FILES ${readme_pictures}
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vorlen/docs/screenshots COMPONENT vorlen)
vorlen_install_program(sim vorlen-tracker-sim)
vorlen_package_docs(sim vorlen-tracker-sim)
add_custom_target(vorlen_package_files ALL DEPENDS ${packaging_outputs})

# The menu entry, its icon and the software centres' description.
set(app_id org.vorlen.Vorlen)
configure_file(${packaging_source}/${app_id}.metainfo.xml.in
  ${packaging_build}/${app_id}.metainfo.xml @ONLY)
install(FILES ${packaging_source}/${app_id}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT vorlen)
install(FILES ${PROJECT_SOURCE_DIR}/apps/vorlen/vorlen.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps COMPONENT vorlen)
install(FILES ${packaging_build}/${app_id}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT vorlen)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorlen)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vorlen developers")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER
  "Vorlen maintainers <maintainers@users.noreply.c-seed-861406d1.example>")
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL vorlen sim)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The package installs under the prefix the programs were built for, so the
# journal's module lies where they look for it.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_STRIP_FILES ON)
# Directories as Debian has them whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_VORLEN_PACKAGE_NAME vorlen)
# The Chinese texts need a font with the characters.
# The station plays its sounds through libcanberra, loaded at the first sound.
set(CPACK_DEBIAN_VORLEN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk, libcanberra0")
# Qt's own buttons (OK, Cancel, the file dialog's) in Chinese.
set(CPACK_DEBIAN_VORLEN_PACKAGE_DEPENDS qt6-translations-l10n)
set(CPACK_DEBIAN_VORLEN_PACKAGE_SUGGESTS vorlen-tracker-sim)
set(CPACK_COMPONENT_VORLEN_DESCRIPTION "set up a GPS/GPRS tracker over a serial cable
Vorlen configures a GPS/GPRS tracker connected by a serial or USB serial
cable. The operator picks the port and the language (English or Chinese),
wakes the tracker, then sets its phone numbers, working mode, alarms,
intervals, electric fence, password, APN and server on one form, or reads
the whole configuration back. vorlen-provision applies one profile to many
trackers at the same time and verifies what each one stored.")

set(CPACK_DEBIAN_SIM_PACKAGE_NAME vorlen-tracker-sim)
set(CPACK_DEBIAN_SIM_PACKAGE_SECTION devel)
set(CPACK_COMPONENT_SIM_DESCRIPTION "simulated GPS/GPRS tracker on a pseudo-terminal
vorlen-tracker-sim plays the tracker that Vorlen configures on a
pseudo-terminal, so the tool can be tried and tested without hardware. It
keeps what it is told, logs every command it receives, and can play faults:
silence, refusals, echo, slow or endless replies.")

include(CPack)

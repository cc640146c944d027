# Lays out the portable folder and zips it. Run by the windows-zip target with STAGE, ZIP, QT_PREFIX,
# PROGRAMS, RUNTIME_DLLS, STRIP, DOCS, LICENSE_HEAD and QRCODEGEN_LICENSE set.
string(REPLACE "|" ";" PROGRAMS "${PROGRAMS}")
string(REPLACE "|" ";" RUNTIME_DLLS "${RUNTIME_DLLS}")
file(REMOVE_RECURSE ${STAGE} ${ZIP})
file(MAKE_DIRECTORY ${STAGE}/platforms ${STAGE}/styles)
# Stripped copies: the symbols are of no use on the user's PC and would triple the zip.
function(copy_stripped file destination)
    get_filename_component(name ${file} NAME)
    execute_process(COMMAND ${STRIP} --strip-unneeded -o ${destination}/${name} ${file} COMMAND_ERROR_IS_FATAL ANY)
endfunction()
foreach(file ${PROGRAMS} ${RUNTIME_DLLS})
    copy_stripped(${file} ${STAGE})
endforeach()
# What the programs load: the four Qt modules the window links (telvane-cli links Qt6Core alone), the Windows
# platform plug-in and the native style.
foreach(module Core Gui Widgets Network)
    copy_stripped(${QT_PREFIX}/bin/Qt6${module}.dll ${STAGE})
endforeach()
copy_stripped(${QT_PREFIX}/plugins/platforms/qwindows.dll ${STAGE}/platforms)
copy_stripped(${QT_PREFIX}/plugins/styles/qwindowsvistastyle.dll ${STAGE}/styles)
file(COPY ${DOCS} DESTINATION ${STAGE})

# Qt's notice, then the full texts of the licences it names, as Debian ships them.
file(READ ${LICENSE_HEAD} notice)
foreach(licence LGPL-3 GPL-3)
    file(READ /usr/share/common-licenses/${licence} text)
    string(APPEND notice "\n==================== ${licence} ====================\n\n${text}")
endforeach()
string(REPLACE "\n" "\r\n" notice "${notice}")
file(WRITE ${STAGE}/LICENSE-Qt.txt "${notice}")
# qrcodegen is linked into the programs; its licence asks for its notice beside them (Debian's copyright file).
file(READ ${QRCODEGEN_LICENSE} notice)
string(REPLACE "\n" "\r\n" notice "${notice}")
file(WRITE ${STAGE}/LICENSE-qrcodegen.txt "${notice}")

get_filename_component(parent ${STAGE} DIRECTORY)
get_filename_component(folder ${STAGE} NAME)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${folder} WORKING_DIRECTORY ${parent}
                COMMAND_ERROR_IS_FATAL ANY)

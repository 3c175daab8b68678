# The game's own media: pictures and music that tools/media (the vanta-media program) draws and composes
# at build time into ${CMAKE_BINARY_DIR}/media/, under the names the game registers them by. The target
# `vanta_media` (game/media/) makes them; these functions embed them into a target with vanta_embed_files,
# which then builds after them.
set(VANTA_MEDIA_DIR ${CMAKE_BINARY_DIR}/media)

# The game's files, in the order the game registers them.
set(VANTA_GAME_MEDIA_NAMES
    intro/logo-zelkor.jpg
    intro/intromusic.ogg
    intro/introtitre.jpg
    intro/globeintro.png
    DATAS/herbe0.png
    DATAS/herbe1.png
    DATAS/herbe2.png
    DATAS/herbe3.png
    DATAS/herbe4.png
    DATAS/nuages0.png
    DATAS/nuages1.png
    DATAS/nuages2.png
    DATAS/nuages3.png
    DATAS/nuages4.png
    DATAS/barriere.png
    DATAS/montagnes.png
    DATAS/fond.jpg
    DATAS/lune.png
    DATAS/music-level1.ogg
    DATAS/marcheur.png
)
# The console's built-in background picture.
set(VANTA_CONSOLE_MEDIA_NAMES bakground.png)

# vanta_embed_game_media(<target>): the 20 game files as the set GameMedia ("embedded/GameMedia.h").
function(vanta_embed_game_media target)
    set(files "")
    foreach(name IN LISTS VANTA_GAME_MEDIA_NAMES)
        list(APPEND files "${name}" "${VANTA_MEDIA_DIR}/${name}")
    endforeach()
    vanta_embed_files(${target} SET GameMedia FILES ${files} DEPENDS vanta_media)
endfunction()

# vanta_embed_console_media(<target>): "bakground.png" as the set ConsoleMedia ("embedded/ConsoleMedia.h").
function(vanta_embed_console_media target)
    set(files "")
    foreach(name IN LISTS VANTA_CONSOLE_MEDIA_NAMES)
        list(APPEND files "${name}" "${VANTA_MEDIA_DIR}/${name}")
    endforeach()
    vanta_embed_files(${target} SET ConsoleMedia FILES ${files} DEPENDS vanta_media)
endfunction()

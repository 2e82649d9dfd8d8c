# fish completion for orvantis-cli: commands, options, screens, colour names and .tsk files.
# A test holds the option and colour names here against "orvantis-cli --help".

set -l commands info render build extract device check thumbnail

function __orvantis_cli_colours
    printf '%s=#\t%s\n' \
        titlebar-left 'Upper Left Titlebar (5)' \
        titlebar-right 'Upper Right Titlebar (8)' \
        titlebar-text 'Titlebar Text (9)' \
        today-text 'Today Screen Text (4)' \
        today-lines 'Today Screen Lines (6)' \
        command-bar 'Command Bar (7)' \
        navigation-tray 'Navigation Tray (10)' \
        message-left 'Message Bar Left (13)' \
        message-right 'Message Bar Right (14)' \
        important-left 'Important Message Bar Left (25)' \
        important-right 'Important Message Bar Right (26)' \
        11 'No element' \
        12 'No element'
end
complete -c orvantis-cli -f
complete -c orvantis-cli -n "not __fish_seen_subcommand_from $commands" -a info -d 'Print a package as JSON'
complete -c orvantis-cli -n "not __fish_seen_subcommand_from $commands" -a render -d 'Write a composed screen'
complete -c orvantis-cli -n "not __fish_seen_subcommand_from $commands" -a build -d 'Make a package'
complete -c orvantis-cli -n "not __fish_seen_subcommand_from $commands" -a extract -d 'Unpack a package'
complete -c orvantis-cli -n "not __fish_seen_subcommand_from $commands" -a device -d 'Work on the handheld'
complete -c orvantis-cli -n "not __fish_seen_subcommand_from $commands" -a check -d 'Tell whether the text can be read'
complete -c orvantis-cli -n "not __fish_seen_subcommand_from $commands" -a thumbnail -d 'Write a thumbnail of the Today screen'
complete -c orvantis-cli -n "not __fish_seen_subcommand_from $commands" -l help -s h -d 'Show the usage text'
complete -c orvantis-cli -n "not __fish_seen_subcommand_from $commands" -l version -d 'Show the version'

# Packages for info, extract and render.
complete -c orvantis-cli -n "__fish_seen_subcommand_from info extract render check thumbnail" -k -a "(__fish_complete_suffix .tsk)"

complete -c orvantis-cli -n "__fish_seen_subcommand_from render" -l screen -x -a 'main message important navigation menu' -d 'Screen to compose'
complete -c orvantis-cli -n "__fish_seen_subcommand_from render" -l time -x -d 'Clock shown, HH:MM'
complete -c orvantis-cli -n "__fish_seen_subcommand_from render" -l date -x -d 'Date shown'
complete -c orvantis-cli -n "__fish_seen_subcommand_from render" -s o -r -d 'Output picture (.png, .jpg, .jpeg, .bmp)'

complete -c orvantis-cli -n "__fish_seen_subcommand_from build" -l name -x -d 'Theme name'
complete -c orvantis-cli -n "__fish_seen_subcommand_from build" -l fix-contrast -d 'Make unreadable text readable'
complete -c orvantis-cli -n "__fish_seen_subcommand_from build" -l match-colors -d 'Set the colours from the Today picture'
complete -c orvantis-cli -n "__fish_seen_subcommand_from build" -l color -x -d 'COLORNAME=#RRGGBB' -a "(__orvantis_cli_colours)"
complete -c orvantis-cli -n "__fish_seen_subcommand_from build" -l today -r -F -d 'Today background'
complete -c orvantis-cli -n "__fish_seen_subcommand_from build" -l menu -r -F -d 'Start menu background'
complete -c orvantis-cli -n "__fish_seen_subcommand_from build" -l fit -x -a 'crop resize place' -d 'How a picture is fitted'
complete -c orvantis-cli -n "__fish_seen_subcommand_from build" -l focus -x -d 'Frame centre X,Y, 0.0 to 1.0'
complete -c orvantis-cli -n "__fish_seen_subcommand_from build" -l zoom -x -d 'Zoom, 1 or more'
complete -c orvantis-cli -n "__fish_seen_subcommand_from build" -l depth -x -a '256 16m' -d 'Colour depth'
complete -c orvantis-cli -n "__fish_seen_subcommand_from build" -l brightness -x -d '0.0 to 1.0'
complete -c orvantis-cli -n "__fish_seen_subcommand_from build" -l contrast -x -d '0.0 to 1.0'
complete -c orvantis-cli -n "__fish_seen_subcommand_from build" -l gamma -x -d '1.0 to 10.0'
complete -c orvantis-cli -n "__fish_seen_subcommand_from build" -s o -r -d 'Output package'

complete -c orvantis-cli -n "__fish_seen_subcommand_from device; and not __fish_seen_subcommand_from list get put delete init" -a 'list get put delete init'
complete -c orvantis-cli -n "__fish_seen_subcommand_from put" -k -a "(__fish_complete_suffix .tsk)"
complete -c orvantis-cli -n "__fish_seen_subcommand_from init" -a "(__fish_complete_directories)"

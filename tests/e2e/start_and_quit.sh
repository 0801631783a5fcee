# A fresh start at the default 800x600 with no configuration file: level 1,
# score 0 and four lives on screen; holding ESC ends the game at once.
. "$(dirname "$0")/lib.sh"

e2e_start_xvfb 800 600
e2e_start_game

e2e_wait_status_line 800 600
# The same frame shows one life icon per life, and no fifth one.
e2e_four_lives_shown

e2e_quit 1
e2e_pass

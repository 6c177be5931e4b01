#!/bin/sh
# Debian's makensis makes 32-bit installers unless told otherwise. CPack
# passes its own arguments through a shell that would split the target's
# name off "-XTarget", so the target travels here, as one argument.
exec makensis "-XTarget amd64-unicode" "$@"

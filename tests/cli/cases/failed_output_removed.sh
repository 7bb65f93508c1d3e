# A pack that fails leaves no archive behind: a half-written one would look up to date to the
# build that made it.
mkdir tree
printf 'x' >tree/a.txt
mkfifo tree/pipe
quarnel pack -o tree.zolt -C tree .
echo "pack: $?"
ls tree.zolt 2>/dev/null || echo "no archive"
# An archive that would overwrite one of the files to pack is refused before anything is written.
printf 'keep' >self.txt
quarnel pack -o self.txt self.txt
echo "self: $?"
cat self.txt
echo

# embed writes a launcher that carries an archive as its "MyArchiv" resource; --module reads it
# back; embedding into a launcher replaces its archive; the launcher still runs.
cp "$QUARNEL" stub
printf 'x' >a.txt
printf 'yy' >b.txt
touch -d '2020-05-06 07:08:10' a.txt b.txt
quarnel pack -o one.zolt -m none a.txt
quarnel pack -o two.zolt -m none b.txt
quarnel embed --stub stub --archive one.zolt -o launcher
echo "embed: $?"
./launcher --version
quarnel list --module launcher
quarnel embed --stub launcher --archive two.zolt -o launcher2
quarnel list --module launcher2
quarnel extract --module -C out launcher2
cat out/b.txt
echo
quarnel list --module stub
echo "bare stub: $?"
quarnel embed --stub stub --archive a.txt -o bad
echo "not an archive: $?"
quarnel embed --stub a.txt --archive one.zolt -o bad
echo "not a program: $?"
[ -e bad ] || echo "nothing written"
# A launcher can be its own stub: the archive is replaced in place and it still runs.
quarnel embed --stub launcher --archive two.zolt -o launcher && quarnel embed --stub launcher --archive one.zolt -o launcher
echo "in place: $?"
./launcher --version
quarnel list --module launcher
ls launcher.part 2>/dev/null || echo "no leftovers"

# An ordinary user extracting where the permission bits forbid it: an existing read-only file, a
# folder without write permission, and a target folder that cannot be made. Each stops with the
# path and the reason and exit 1; the files written before and the files already there stay.
. "$CLI_LIB"
stored_archive two.zolt 'a.txt=new a' 'b.txt=new b'
mkdir out locked
printf 'old b' >out/b.txt
chmod 444 out/b.txt
unprivileged_owns out locked
as_unprivileged quarnel extract -C out two.zolt
echo "read-only file: $?"
cat out/a.txt out/b.txt
echo
chmod 555 locked
as_unprivileged quarnel extract -C locked two.zolt
echo "read-only folder: $?"
as_unprivileged quarnel extract -C locked/sub two.zolt
echo "folder not made: $?"
ls -A locked

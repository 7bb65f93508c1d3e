# pack then extract reproduces a folder tree: names in name order with "\" separators, contents,
# dates and the read-only bit.
mkdir -p tree/docs/deep tree/bin
printf 'readme\n' >tree/readme.txt
printf 'aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab' >tree/docs/a.txt
seq 1 3000 >tree/docs/deep/numbers.txt
: >tree/bin/empty.dat
touch -d '1997-06-04 16:04:34' tree/readme.txt
touch -d '2001-02-03 04:05:06' tree/docs/a.txt
touch -d '2010-12-31 23:59:58' tree/docs/deep/numbers.txt
touch -d '1980-01-01 00:00:00' tree/bin/empty.dat
chmod 444 tree/docs/a.txt

quarnel pack -o tree.zolt -C tree .
echo "pack: $?"
quarnel list tree.zolt
quarnel test tree.zolt
quarnel extract -C out tree.zolt
echo "extract: $?"
diff -r tree out && echo "same contents"
for f in readme.txt docs/a.txt docs/deep/numbers.txt bin/empty.dat; do
  echo "$f $(date -u -r out/$f '+%F %T') $(stat -c %A out/$f)"
done
# A path below the base folder keeps its folders in the name; one outside it is refused.
quarnel pack -o part.zolt -m none -C tree docs/deep
quarnel list part.zolt
quarnel pack -o outside.zolt -C tree ../tree.zolt
echo "outside: $?"

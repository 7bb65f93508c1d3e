# extract and test refuse entry names that would leave the target folder, naming the entry,
# before anything of that entry is written; --unsafe-paths restores the component's rules.
. "$CLI_LIB"
stored_archive climb.zolt 'ok.txt=fine' '..\..\x=evil'
stored_archive rooted.zolt '\x=evil'
stored_archive slash.zolt '/tmp/x=evil'
stored_archive drive.zolt 'C:x=evil'
stored_archive mixed.zolt 'sub/../../x=evil'
stored_archive parent.zolt '..\x=ok'
mkdir -p out/deep
for a in climb rooted slash drive mixed; do
  quarnel extract -C out/deep $a.zolt
  echo "$a: $?"
done
quarnel test climb.zolt
echo "test: $?"
find . -name x
quarnel extract --unsafe-paths -C out/deep parent.zolt
echo "unsafe: $?"
cat out/x
echo

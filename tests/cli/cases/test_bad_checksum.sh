# test verifies every entry without writing files; a damaged entry fails with the component's
# message and exit code 1.
printf 'hello world, hello world\n' >a.txt
quarnel pack -o a.zolt -m rle a.txt
quarnel test a.zolt
echo "intact: $?"
# The stored data begins after the 21-byte archive header, the 25-byte entry header and the name.
printf 'j' | dd of=a.zolt bs=1 seek=51 conv=notrunc 2>/dev/null
quarnel test a.zolt
echo "damaged: $?"
ls
quarnel extract -C out a.zolt
ls out

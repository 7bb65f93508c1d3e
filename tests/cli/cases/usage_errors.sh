# Wrong usage exits with 2 and says what is wrong and where to find help.
quarnel
echo "exit $?"
quarnel frobnicate
echo "exit $?"
quarnel list
echo "exit $?"
quarnel extract --key many a.zolt
echo "exit $?"
quarnel expand -m lzh
echo "exit $?"
quarnel pack a.txt
echo "exit $?"
quarnel embed --stub s -o o
echo "exit $?"
quarnel --version
echo "exit $?"
quarnel list --help
echo "exit $?"

// Provoked allocation failures: the test program replaces the non-throwing operator new (the
// form the codecs use for their buffers and tables), so that a test can make the n-th such
// allocation from now fail. Only this test program is affected.
#pragma once

namespace hardening {

// Makes the n-th non-throwing allocation from now return null (n >= 1); 0 disarms.
void FailNothrowAllocation(int n);
// True while an armed failure has not been used up yet.
bool NothrowFailurePending();

}  // namespace hardening

#pragma once

// Memory the process has freed, handed back to the system. The C library
// otherwise keeps it for later requests of the thread that freed it, so
// that the peak of a later phase stacks on what an earlier one left behind
// (a list of many thousands of files, the texts it came in). Called after
// such a structure is gone; does nothing where the library offers no way.
namespace FreedMemory
{
void Release();
}

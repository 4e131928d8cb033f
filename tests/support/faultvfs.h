#pragma once

// A file system layer for SQLite that fails on request, the way SQLite tests
// its own recovery: it wraps the default one, counts every read, write,
// sync and lock call on every file, and makes the n-th call of one kind fail
// with an I/O error, once or from then on. Installed as the default in the
// tests that ask for it, never in the program.
namespace FaultVfs {

enum class Call { Read, Write, Sync, Lock };
inline constexpr Call AllCalls[] = {Call::Read, Call::Write, Call::Sync, Call::Lock};

// Registers the layer as SQLite's default (once; later calls do nothing).
void install();

// Counting only: no call fails, every counter back to zero.
void reset();

// The n-th call of that kind from now on (counting from 1) fails; with
// persistent, that call and every later one of the kind.
void failAt(Call call, int n, bool persistent);

int count(Call call);
bool fired();

const char *name(Call call);

} // namespace FaultVfs

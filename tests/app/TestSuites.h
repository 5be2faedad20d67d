#pragma once

// The wizard's test suites, each a QtTest object run by main.cpp.

namespace kestrava::test {

int RunControlTests(int argc, char** argv);
int RunShellTests(int argc, char** argv);
int RunListTests(int argc, char** argv);
int RunEffectTests(int argc, char** argv);
int RunOptionTests(int argc, char** argv);
int RunProjectTests(int argc, char** argv);
int RunBuildTests(int argc, char** argv);

}  // namespace kestrava::test

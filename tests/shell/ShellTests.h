#pragma once

int runPasswordGateTests(int argc, char** argv);
int runMainWindowTests(int argc, char** argv);

#pragma once

// Makes standard output and standard error carry bytes as they are, as on POSIX systems: on Windows the C
// runtime would otherwise write a carriage return before every line feed.
void UseBinaryStandardStreams();

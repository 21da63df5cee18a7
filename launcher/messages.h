#pragma once

// The launchers' own texts, byte for byte as users and scripts see them.

namespace launcher::messages {

inline constexpr char kOutOfMemory[] = "Unable to allocate memory";
inline constexpr char kInvalidJvmParams[] = "Invalid GALVORENT_JVM_PARAMS argument";

inline constexpr char kResponseFileNotFoundTitle[] = "Responsefile not found";
inline constexpr char kResponseFileNotFoundBefore[] =
    "The specified response file does not exist at ";
inline constexpr char kResponseFileNotFoundAfter[] =
    " . Verify that the path is correct and that the file exists at that location.";

inline constexpr char kJavaNotFoundTitle[] = "Java Not Found";
inline constexpr char kJavaNotFoundText[] =
    "Java could not be found, please specify -is:javahome <java_home_dir>";

inline constexpr char kLogProbePrefix[] = "Looking for Java in: ";
inline constexpr char kLogUsingPrefix[] = "Using java in ";

}  // namespace launcher::messages

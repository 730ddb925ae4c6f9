// The numbered statuses that the control file's rules report, with their status codes.
#pragma once

namespace update {

constexpr int kStatusDateBased = 928;        // "Date based update found"
constexpr int kStatusNewVersion = 929;       // "New version found : %s"
constexpr int kStatusNoNewVersion = 930;     // "No new version found"
constexpr int kStatusChecksumBased = 931;    // "Checksum based update found"
constexpr int kStatusSizeBased = 932;        // "File size based update found"
constexpr int kStatusVersionBased = 933;     // "Version based update found"
constexpr int kStatusVersionCheck = 944;     // "Version check : %s"
constexpr int kStatusProcessingFile = 971;   // "Processing file : %s"

constexpr int kCodeNone = 0;
constexpr int kCodeProgress = 3;
constexpr int kCodeNoNewVersion = 4;  // the update check's; the file selection reports kCodeNone
constexpr int kCodeNewVersion = 5;

}  // namespace update

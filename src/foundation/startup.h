#pragma once
// The foundation's steps of the start-up and the shut-down. The start-up sequence that
// strings them together with the steps of the other layers is Main (app/main_sequence.h).
#include <array>
#include <cstdint>
#include <string>

inline constexpr const char* kMailDataFolderName = "メールデータ";
inline constexpr const char* kInstanceLockFileName = "kabuto.lock";
inline constexpr const char* kSignInNeededMessage = "ログイン用のIDとパスワードが必要です。";

// The folder "メールデータ" in the program's folder, with a trailing "/".
std::string MailDataFolder();

enum class InstanceLock {
    Taken,          // this copy holds the folder's lock (or held it already)
    HeldElsewhere,  // another copy runs from this program's folder
    Failed,         // the lock could not be made: a read-only folder, for one
};
// Takes the program folder's lock and keeps it until the process ends (or
// ReleaseInstanceLock). Only Taken lets the start go on: a copy without the lock could run
// beside another and take over its sign-in.
InstanceLock TakeInstanceLock();
void ReleaseInstanceLock();
// The message that ends a start whose lock could not be made.
std::string InstanceLockFailedMessage();

// Removes the temporary files that a copy killed while writing left in the program's
// folder. Only the holder of the folder's lock may call it.
void RemoveInterruptedWrites();

// Creates "メールデータ"; a folder that exists already, or a failure, is left alone.
void MakeMailDataFolder();

// The saved sign-in of the settings file becomes the sign-in pair of this run.
void LoadSavedSignIn();
// Both the user ID and the password of this run are known.
bool HasSignInPair();

// The four text stores read, in the order memo, watch numbers, barriers, lines.
void ReadTextStores();
// The settings read again for the working copies: display counts, print job, printers.
// The sign-in pair of this run is kept.
void LoadWorkingSettings(std::array<int32_t, 4>& displayCount);

// 1 on this platform: the printer set-up may fall back to the drivers' manual-feed bin.
int16_t PlatformOsVersionFlag();

// The four text stores written back; each is tried even when the one before failed.
void WriteTextStores();

// The last thing the program does: closes the price catalogs, signs out and writes the
// four text stores back. Each step is tried even when the one before it failed.
void Shutdown();

#include "foundation/startup.h"

#include <QDir>
#include <QLockFile>
#include <memory>

#include "foundation/connection_registry.h"
#include "foundation/database.h"
#include "foundation/settings.h"
#include "foundation/signin.h"
#include "foundation/text_stores.h"
#include "platform/app_path.h"
#include "platform/atomic_file.h"

namespace {

std::unique_ptr<QLockFile>& HeldLock() {
    static std::unique_ptr<QLockFile> lock;
    return lock;
}

// A step of the shut-down: its failure does not keep the next step from running.
template <typename Step>
void TryStep(Step&& step) {
    try {
        step();
    } catch (...) {
    }
}

std::string InstanceLockPath() {
    return AppPath() + kInstanceLockFileName;
}

}  // namespace

std::string MailDataFolder() {
    return AppPath() + kMailDataFolderName + "/";
}

InstanceLock TakeInstanceLock() {
    auto& lock = HeldLock();
    if (lock) return InstanceLock::Taken;
    auto candidate = std::make_unique<QLockFile>(QString::fromStdString(InstanceLockPath()));
    // The lock names the process that holds it: a lock left by a copy that died is taken
    // over at once, and the lock of a running copy never goes stale with age.
    candidate->setStaleLockTime(0);
    if (!candidate->tryLock(0)) {
        return candidate->error() == QLockFile::LockFailedError ? InstanceLock::HeldElsewhere
                                                                : InstanceLock::Failed;
    }
    lock = std::move(candidate);
    return InstanceLock::Taken;
}

void ReleaseInstanceLock() {
    HeldLock().reset();
}

std::string InstanceLockFailedMessage() {
    return "ロックファイル「" + InstanceLockPath() + "」を作れないため、起動できません。" +
           "プログラムのフォルダーに書き込めるか確かめてください。";
}

void RemoveInterruptedWrites() {
    RemoveStaleTemporaryFiles(AppPath());
}

void MakeMailDataFolder() {
    QDir().mkpath(QString::fromStdString(MailDataFolder()));
}

void LoadSavedSignIn() {
    LoadSettei(Signin().LogonInfo);
}

bool HasSignInPair() {
    const LogonPair& pair = Signin().LogonInfo;
    return !pair.UserId.empty() && !pair.Password.empty();
}

void ReadTextStores() {
    auto& stores = TextStores();
    stores.MemoText = GetMemo();
    stores.ChuumokuText = GetChuumoku();
    stores.KanmonText = GetKanmon();
    stores.ShasenText = GetShasen();
}

void LoadWorkingSettings(std::array<int32_t, 4>& displayCount) {
    LogonPair saved;
    LoadSettei(saved);
    CopySetteiFlags(displayCount);
    InitPrintSettei();
}

int16_t PlatformOsVersionFlag() {
    return 1;
}

void WriteTextStores() {
    TryStep(PutMemo);
    TryStep(PutChuumoku);
    TryStep(PutKanmon);
    TryStep(PutShasen);
}

void Shutdown() {
    TryStep(ClosePriceDatabases);
    TryStep(SignOutSession);
    WriteTextStores();
    // The user catalog's connection and any other still open: their statements finalized and
    // their handles closed while the program can still do so, not left to the exit.
    DisconnectAllCatalogs();
}

#include "foundation/startup.h"

#include <QDir>
#include <QLockFile>
#include <memory>

#include "foundation/database.h"
#include "foundation/settings.h"
#include "foundation/signin.h"
#include "foundation/text_stores.h"
#include "platform/app_path.h"

namespace {

std::unique_ptr<QLockFile>& InstanceLock() {
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

}  // namespace

std::string MailDataFolder() {
    return AppPath() + kMailDataFolderName + "/";
}

bool AnotherInstanceRunning() {
    auto& lock = InstanceLock();
    if (lock) return false;
    auto candidate =
        std::make_unique<QLockFile>(QString::fromStdString(AppPath() + kInstanceLockFileName));
    // The lock names the process that holds it: a lock left by a copy that died is taken
    // over at once, and the lock of a running copy never goes stale with age.
    candidate->setStaleLockTime(0);
    if (!candidate->tryLock(0)) {
        return candidate->error() == QLockFile::LockFailedError;
    }
    lock = std::move(candidate);
    return false;
}

void ReleaseInstanceLock() {
    InstanceLock().reset();
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
}

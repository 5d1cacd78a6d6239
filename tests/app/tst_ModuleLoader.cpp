// Loading the FreeRDP module: only a module of the program's own version is used, and a
// missing or foreign one is told to the user by its file name.
#include "app/FreeRdpLoader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class ModuleLoaderTest : public QObject {
    Q_OBJECT

    static void verifyProblem(const rdp::FreeRdpModule& m, const QString& path,
                              const QString& what) {
        QVERIFY(m.create == nullptr);
        QVERIFY2(m.problem.contains(what), qPrintable(m.problem));
        QVERIFY2(m.problem.contains(path), qPrintable(m.problem));
        QVERIFY2(m.problem.contains(QStringLiteral("请保持程序文件夹完整")), qPrintable(m.problem));
    }

private slots:
    void aModuleOfTheProgramsVersionIsUsed() {
        const QString path = QStringLiteral(MATCHING_MODULE);
        const rdp::FreeRdpModule m =
            rdp::LoadFreeRdpModule({QStringLiteral("/nonexistent/librdp-freerdp.so"), path});
        QVERIFY2(m.create != nullptr, qPrintable(m.problem));
        QVERIFY(m.problem.isEmpty());
    }

    // Each side checks the other: a module of another version, and one that refuses this
    // program's version, are both refused.
    void aModuleOfAnotherVersionIsRefused() {
        for (const QString& path :
             {QStringLiteral(OTHER_VERSION_MODULE), QStringLiteral(REFUSING_MODULE)}) {
            verifyProblem(rdp::LoadFreeRdpModule({path}), path, QStringLiteral("版本不符"));
        }
    }

    // A module of the right version without the control's entry names what it lacks.
    void aModuleWithoutItsEntryIsNamed() {
        const QString path = QStringLiteral(MODULE_WITHOUT_ENTRY);
        verifyProblem(rdp::LoadFreeRdpModule({path}), path,
                      QStringLiteral("远程桌面组件无法启动：模块 "));
        QVERIFY(rdp::LoadFreeRdpModule({path}).problem.contains(
            QStringLiteral("rdp_freerdp_create_control")));
    }

    void aMissingOrBrokenModuleIsNamed() {
        const QString missing = QStringLiteral("/nonexistent/librdp-freerdp.so");
        verifyProblem(rdp::LoadFreeRdpModule({missing}), missing, QStringLiteral("找不到"));
        QTemporaryDir dir;
        const QString broken = dir.filePath(QStringLiteral("librdp-freerdp.so"));
        QFile f(broken);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a library");
        f.close();
        verifyProblem(rdp::LoadFreeRdpModule({broken}), broken, QStringLiteral("无法加载"));
    }
};

QTEST_MAIN(ModuleLoaderTest)
#include "tst_ModuleLoader.moc"

#include "cli/CommandRunners.h"
#include "cli/Console.h"
#include "cli/DeviceSession.h"
#include "cli/ParamTreeText.h"
#include "cli/StatusFormat.h"
#include "config/ConfigTransfer.h"

#include "config/Catalogue.h"
#include "config/ParamFile.h"
#include "config/ParamModel.h"

#include <QDir>
#include <QFileInfo>

namespace gencfg::cli {

namespace {

const QString VariantOption = QStringLiteral("variant");

ConfigImageBytes blankImage()
{
    // As the window starts: bytes a short file does not reach read 0xFF.
    ConfigImageBytes image;
    image.fill(0xFF);
    return image;
}

// The catalogue to decode with: --variant, else the one the controller reports.
int chooseVariant(DeviceSession &session, const Invocation &invocation, DeviceVariant &variant)
{
    if (invocation.has(VariantOption)) {
        variant = *VariantFromName(invocation.value(VariantOption));
        return Done;
    }
    if (!session.waitForFirstStatus())
        return session.failure(session.interrupted() ? OperationStatus::Cancelled
                                                     : OperationStatus::NoAnswer);
    const quint8 code = session.reportedVariantCode();
    if (VariantName(code).isEmpty())
        return Fail(InputError,
                    QStringLiteral("the controller reports variant code %1, which has no catalogue; "
                                   "name one with --variant petrol|diesel|dry")
                        .arg(code));
    variant = DeviceVariant(code);
    return Done;
}

int readFile(const QString &path, ConfigImageBytes &image)
{
    const ParamFileValues file = ReadParamFile(path);
    if (!file.ok)
        return Fail(InputError, file.error);
    image = blankImage();
    ApplyParamValues(file.values, image);
    return Done;
}

int recode(const ConfigImageBytes &image, DeviceVariant variant, ConfigImageBytes &recoded,
           const QString &hint)
{
    const EncodeResult result = RecodeConfigImage(image, variant, recoded);
    if (result.ok)
        return Done;
    return Fail(InputError, hint.isEmpty() ? result.error : result.error + QLatin1Char('\n') + hint);
}

} // namespace

int RunReadConfig(const Invocation &invocation)
{
    const QString path = invocation.argument(0);
    // Found out before the controller is read, not after.
    const QFileInfo target(path);
    if (target.isDir())
        return Fail(InputError, QStringLiteral("%1 is a folder, not a file name").arg(path));
    if (!target.absoluteDir().exists())
        return Fail(InputError, QStringLiteral("folder %1 does not exist").arg(target.absolutePath()));

    const bool raw = invocation.has(QStringLiteral("raw"));
    DeviceSession session;
    if (const int opened = session.open(invocation.value(QStringLiteral("port"))); opened != Done)
        return opened;
    DeviceVariant variant = DeviceVariant::Petrol;
    if (!raw) {
        if (const int chosen = chooseVariant(session, invocation, variant); chosen != Done)
            return chosen;
    }

    Progress progress(ReadProgressText());
    ConfigReadOperation read(blankImage());
    if (const OperationStatus status = session.run(read, &progress); status != OperationStatus::Succeeded) {
        progress.finish();
        return session.failure(status);
    }
    const ConfigImageBytes &image = read.image();
    ConfigImageBytes saved = image;
    if (!raw) {
        const QString hint = QStringLiteral("The parameters read cannot be saved as the window saves them; "
                                            "--raw saves the bytes as read.");
        if (const int coded = recode(image, variant, saved, hint); coded != Done) {
            progress.finish();
            return coded;
        }
    }
    if (const QString failure = WriteParamFile(path, saved); !failure.isEmpty()) {
        progress.finish();
        return Fail(InputError, failure);
    }
    progress.finish(ReadDoneText());
    return Done;
}

int RunWriteConfig(const Invocation &invocation)
{
    ConfigImageBytes image;
    if (const int read = readFile(invocation.argument(0), image); read != Done)
        return read;
    ConfigImageBytes written;
    // With the variant named, a file that cannot be coded is refused before the port is opened.
    const bool variantGiven = invocation.has(VariantOption);
    if (variantGiven) {
        if (const int coded = recode(image, *VariantFromName(invocation.value(VariantOption)), written, {});
            coded != Done)
            return coded;
    }

    DeviceSession session;
    if (const int opened = session.open(invocation.value(QStringLiteral("port"))); opened != Done)
        return opened;
    if (!variantGiven) {
        DeviceVariant variant = DeviceVariant::Petrol;
        if (const int chosen = chooseVariant(session, invocation, variant); chosen != Done)
            return chosen;
        if (const int coded = recode(image, variant, written, {}); coded != Done)
            return coded;
    }

    {
        Progress progress(WriteProgressText());
        ConfigWriteOperation write(written);
        if (const OperationStatus status = session.run(write, &progress);
            status != OperationStatus::Succeeded) {
            progress.finish();
            if (status == OperationStatus::Cancelled)
                PrintErr(InterruptedWriteText(write.blocksWritten(), int(WritePlan().size())) +
                         QLatin1Char('\n'));
            return session.failure(status);
        }
        progress.finish(WriteDoneText());
    }
    if (!invocation.has(QStringLiteral("verify")))
        return Done;

    Progress progress(QStringLiteral("Verifying the written parameters..."));
    ConfigReadOperation read(blankImage());
    if (const OperationStatus status = session.run(read, &progress); status != OperationStatus::Succeeded) {
        progress.finish();
        return session.failure(status);
    }
    const ConfigImageBytes &readBack = read.image();
    int writtenCount = 0;
    for (const MemoryBlock &block : WritePlan())
        writtenCount += block.length;
    const QVector<int> differing = WrittenAddressesThatDiffer(written, readBack);
    if (differing.isEmpty()) {
        progress.finish(QStringLiteral("verify: all %1 written bytes read back the same").arg(writtenCount));
        return Done;
    }
    progress.finish();
    for (const int address : differing) {
        PrintErr(QStringLiteral("address %1: written %2, read back %3\n")
                     .arg(address)
                     .arg(written[size_t(address)])
                     .arg(readBack[size_t(address)]));
    }
    return Fail(
        VerifyMismatch,
        QStringLiteral("verify: %1 of %2 written bytes differ").arg(differing.size()).arg(writtenCount));
}

int RunShowConfig(const Invocation &invocation)
{
    ConfigImageBytes image;
    if (const int read = readFile(invocation.argument(0), image); read != Done)
        return read;
    const DeviceVariant variant = invocation.has(VariantOption)
                                      ? *VariantFromName(invocation.value(VariantOption))
                                      : DeviceVariant::Petrol;
    ParamModel tree;
    LoadParamTree(CatalogueFor(variant), HighestIndexFor(variant), tree);
    DecodeConfigImage(image, tree);
    PrintOut(ParamTreeText(tree));
    return Done;
}

} // namespace gencfg::cli

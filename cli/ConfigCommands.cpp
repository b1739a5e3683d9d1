#include "cli/CommandRunners.h"
#include "cli/Console.h"
#include "cli/DeviceSession.h"
#include "cli/ParamTreeText.h"
#include "cli/StatusFormat.h"
#include "config/ConfigTransfer.h"

#include "config/Catalogue.h"
#include "config/ParamChanges.h"
#include "config/ParamFile.h"
#include "config/ParamModel.h"
#include "config/UnitPlan.h"
#include "visit/ArchiveSettings.h"

#include <QStringList>
#include <array>

namespace gencfg::cli {

namespace {

const QString VariantOption = QStringLiteral("variant");

int recode(const ConfigImageBytes &image, DeviceVariant variant, ConfigImageBytes &recoded,
           const QString &hint)
{
    const EncodeResult result = RecodeConfigImage(image, variant, recoded);
    if (result.ok)
        return Done;
    return Fail(InputError, hint.isEmpty() ? result.error : result.error + QLatin1Char('\n') + hint);
}

// The window's "Записать" rule: a value outside its limits is named and nothing is written.
int refuseValuesOutsideLimits(const ConfigImageBytes &image, DeviceVariant variant)
{
    const QString refusal = TemplateRefusal(image, variant);
    if (refusal.isEmpty())
        return Done;
    PrintErr(refusal + QLatin1Char('\n'));
    const qsizetype outside = refusal.count(QLatin1Char('\n')) + 1;
    return Fail(InputError,
                outside == 1
                    ? QStringLiteral("not written: 1 parameter lies outside its limits")
                    : QStringLiteral("not written: %1 parameters lie outside their limits").arg(outside));
}

// The file's values as the window would write them after "Открыть".
int prepareWrite(const ConfigImageBytes &image, DeviceVariant variant, ConfigImageBytes &written)
{
    if (const int refused = refuseValuesOutsideLimits(image, variant); refused != Done)
        return refused;
    return recode(image, variant, written, {});
}

} // namespace

int ReadParamImage(const QString &path, ConfigImageBytes &image)
{
    const ParamFileValues file = ReadParamFile(path);
    if (!file.ok)
        return Fail(InputError, file.error);
    image = BlankImage();
    ApplyParamValues(file.values, image);
    return Done;
}

int RunReadConfig(const Invocation &invocation)
{
    const QString path = invocation.argument(0);
    if (const int writable = CheckOutputFile(path); writable != Done)
        return writable;

    const bool raw = invocation.has(QStringLiteral("raw"));
    DeviceSession session;
    if (const int opened = session.open(invocation.value(QStringLiteral("port"))); opened != Done)
        return opened;
    DeviceVariant variant = DeviceVariant::Petrol;
    if (!raw) {
        if (const int chosen = session.chooseVariant(invocation, variant); chosen != Done)
            return chosen;
    }

    Progress progress(ReadProgressText());
    ConfigReadOperation read(BlankImage());
    session.watchVariant(read);
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
    // A stop that came after the last reply still means no file.
    if (session.interrupted()) {
        progress.finish();
        return session.failure(OperationStatus::Cancelled);
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
    if (const int read = ReadParamImage(invocation.argument(0), image); read != Done)
        return read;
    ConfigImageBytes written;
    // With the variant named, a file that cannot be coded is refused before the port is opened.
    const bool variantGiven = invocation.has(VariantOption);
    DeviceVariant variant = DeviceVariant::Petrol;
    if (variantGiven) {
        variant = *VariantFromName(invocation.value(VariantOption));
        if (const int prepared = prepareWrite(image, variant, written); prepared != Done)
            return prepared;
    }

    DeviceSession session;
    if (const int opened = session.open(invocation.value(QStringLiteral("port"))); opened != Done)
        return opened;
    if (!variantGiven) {
        if (const int chosen = session.chooseVariant(invocation, variant); chosen != Done)
            return chosen;
        if (const int prepared = prepareWrite(image, variant, written); prepared != Done)
            return prepared;
    }

    const bool verify = !invocation.has(QStringLiteral("no-verify"));
    Progress progress(WriteProgressText());
    ConfigWriteOperation write(written, verify ? ConfigWriteOperation::ReadBack::Yes
                                               : ConfigWriteOperation::ReadBack::No);
    session.watchVariant(write);
    if (const OperationStatus status = session.run(write, &progress); status != OperationStatus::Succeeded) {
        progress.finish();
        if (status == OperationStatus::Cancelled)
            PrintErr(InterruptedWriteText(write.blocksWritten(), int(WritePlan().size())) +
                     QLatin1Char('\n'));
        if (status == OperationStatus::VariantChanged && !session.interrupted())
            return Fail(NoAnswer, VariantChangedWriteText());
        return session.failure(status);
    }
    if (!verify) {
        progress.finish(WriteDoneText());
        return Done;
    }
    // The same comparison as the window's: every parameter written, byte for byte.
    ParamModel layout;
    LoadVariantTree(variant, layout);
    const QVector<ParamDifference> differing =
        DifferingParams(layout, write.written(), write.readBack(), Compare::Bytes);
    if (WriteProven(layout, differing)) {
        progress.finish(WriteDoneText());
        return Done;
    }
    progress.finish();
    for (const ParamDifference &d : differing)
        PrintErr(QStringLiteral("%1: written \"%2\", read back \"%3\"\n").arg(d.path, d.first, d.second));
    return Fail(
        VerifyMismatch,
        QStringLiteral("verify: %1 parameters read back otherwise than written").arg(differing.size()));
}

int RunShowConfig(const Invocation &invocation)
{
    ConfigImageBytes image;
    if (const int read = ReadParamImage(invocation.argument(0), image); read != Done)
        return read;
    const DeviceVariant variant = invocation.has(VariantOption)
                                      ? *VariantFromName(invocation.value(VariantOption))
                                      : DeviceVariant::Petrol;
    ParamModel tree;
    LoadVariantTree(variant, tree);
    DecodeConfigImage(image, tree);
    PrintOut(ParamTreeText(tree));
    return Done;
}

int RunDiffConfig(const Invocation &invocation)
{
    // Files and visits first: a bad one is found before the controller is asked.
    std::array<ConfigImageBytes, 2> images{};
    std::optional<DeviceVariant> visitVariant;
    const VisitArchive archive = ArchiveSettings::Read().archive();
    const ComparedSide *portSide = nullptr;
    for (qsizetype side = 0; side < invocation.sides.size(); ++side) {
        const ComparedSide &source = invocation.sides.at(side);
        if (source.kind == ComparedSide::Port) {
            portSide = &source;
        } else if (source.kind == ComparedSide::File) {
            if (const int read = ReadParamImage(source.name, images[size_t(side)]); read != Done)
                return read;
        } else {
            QString error;
            const std::optional<Visit> visit = archive.find(source.name, error);
            if (!visit)
                return Fail(InputError, error);
            images[size_t(side)] = *visit->image;
            if (!visitVariant)
                visitVariant = VariantFromCode(visit->variantCode);
        }
    }

    DeviceVariant variant = invocation.has(VariantOption) ? *VariantFromName(invocation.value(VariantOption))
                                                          : visitVariant.value_or(DeviceVariant::Petrol);
    if (portSide) {
        DeviceSession session;
        if (const int opened = session.open(portSide->name); opened != Done)
            return opened;
        if (const int chosen = session.chooseVariant(invocation, variant); chosen != Done)
            return chosen == NoAnswer ? InputError : chosen;
        Progress progress(ReadProgressText());
        ConfigReadOperation read(BlankImage());
        session.watchVariant(read);
        if (const OperationStatus status = session.run(read, &progress);
            status != OperationStatus::Succeeded) {
            progress.finish();
            const int failed = session.failure(status);
            return failed == NoAnswer ? InputError : failed;
        }
        progress.finish();
        images[size_t(portSide - invocation.sides.constData())] = read.image();
    }

    ParamModel layout;
    LoadVariantTree(variant, layout);
    const QVector<ParamDifference> differing = DifferingParams(layout, images[0], images[1], Compare::Values);
    for (const ParamDifference &d : differing)
        PrintOut(QStringList{d.path, d.first, d.second}.join(QLatin1Char('\t')) + QLatin1Char('\n'));
    // 1 means "different" here: a list that never reached its reader is trouble.
    if (OutputLost())
        return InputError;
    return differing.isEmpty() ? Done : 1;
}

} // namespace gencfg::cli

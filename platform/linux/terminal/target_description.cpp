// Linux host, terminal: writing the target's facts as text.
#include "platform/linux/terminal/target_description.h"

#include <cstdio>
#include <cstring>

#include "platform/linux/terminal/progress_line.h"
#include "platform/linux/terminal/safe_text.h"
#include "platform/linux/terminal/terminal_text.h"

namespace tolven::linux_host {

namespace {

std::string Trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

std::string Hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02x", value & 0xFFu);
    return text;
}

std::string PartitionLine(const ProbedPartition& partition) {
    std::string line = std::to_string(partition.number) + ": start " + GroupedDecimal(partition.start) +
                       ", " + GroupedDecimal(partition.size) + " sectors (" +
                       HumanBytes(partition.size * 512) + "), type ";
    line += partition.typeName.empty() ? Hex(partition.type) : TerminalSafe(partition.typeName);
    if (partition.extended) {
        line += " (extended)";
    }
    return line;
}

std::string SignatureText(const ProbedSignature& signature) {
    std::string text = TerminalSafe(signature.type);
    if (!signature.label.empty()) {
        text += ", label \"" + TerminalSafe(signature.label) + "\"";
    }
    if (!signature.uuid.empty()) {
        text += ", UUID " + TerminalSafe(signature.uuid);
    }
    return text;
}

}  // namespace

std::string DescribeTarget(const DriveTarget& target, const TargetFacts& facts) {
    // The path, the device's texts and what libblkid reads from the disk may all carry controls.
    constexpr char kIndent[] = "               ";
    std::string text = "Target:        " + TerminalSafe(target.path) +
                       (facts.isBlockDevice ? " (block device)\n" : " (disk image file)\n");
    text += "Size:          " + GroupedDecimal(facts.sizeBytes) + " bytes (" + HumanBytes(facts.sizeBytes) +
            ")\n";
    text += "Vendor/model:  " + TerminalSafe(Trimmed(target.vendorId)) + " / " +
            TerminalSafe(Trimmed(target.productId)) + "\n";
    if (facts.probeError != 0) {
        text += "Contents:      unknown (the target could not be read)\n";
    } else {
        if (facts.probe.tableType.empty()) {
            text += "Partitions:    no partition table\n";
        } else {
            text += "Partitions:    " + TerminalSafe(DescribeTableType(facts.probe.tableType)) + "\n";
            for (const ProbedPartition& partition : facts.probe.partitions) {
                text += kIndent + PartitionLine(partition) + "\n";
            }
        }
        if (facts.probe.signatures.empty()) {
            text += "File systems:  none found\n";
        }
        for (std::size_t i = 0; i < facts.probe.signatures.size(); ++i) {
            text += (i == 0 ? "File systems:  " : kIndent) + SignatureText(facts.probe.signatures[i]) + "\n";
        }
    }
    if (facts.mounts.empty()) {
        text += "Mounted:       no\n";
    }
    for (std::size_t i = 0; i < facts.mounts.size(); ++i) {
        text += (i == 0 ? "Mounted:       " : kIndent) + TerminalSafe(facts.mounts[i].source) + " on " +
                TerminalSafe(facts.mounts[i].target) + "\n";
    }
    return text;
}

std::string DescribeTargetNow(TargetTable& targets, const DriveTarget& target) {
    const TargetOpen opened = targets.Open(target.letter);
    TargetFacts facts;
    const int error = opened.target ? GatherTargetFacts(*opened.target, facts) : opened.status.error;
    if (error != 0) {
        std::string text = "Target:        " + TerminalSafe(target.path) + " (";
        text += opened.status.message.empty() ? std::strerror(error) : TerminalSafe(opened.status.message);
        return text + ")\n";
    }
    return DescribeTarget(target, facts);
}

}  // namespace tolven::linux_host

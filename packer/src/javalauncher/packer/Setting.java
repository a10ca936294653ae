package javalauncher.packer;

/** One "Section/Key=Value" of the settings file. */
public final class Setting {
    public final String section;
    public final String key;
    public final String value;

    public Setting(String section, String key, String value) {
        this.section = section;
        this.key = key;
        this.value = value;
    }

    /** Parses "Section/Key=Value"; the value may be empty and may hold "=" and "/". */
    public static Setting parse(String text) throws UsageException {
        int slash = text.indexOf('/');
        int equals = text.indexOf('=', Math.max(slash, 0));
        if (slash <= 0 || equals < 0 || equals == slash + 1) {
            throw new UsageException("--setting \"" + text + "\": write it as"
                    + " \"Section/Key=Value\", e.g. --setting \"Application/Failure Check=Yes\"");
        }
        return new Setting(text.substring(0, slash).trim(),
                text.substring(slash + 1, equals).trim(), text.substring(equals + 1));
    }
}

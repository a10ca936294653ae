package javalauncher.packer;

import java.io.FileInputStream;
import java.io.IOException;
import java.io.InputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.FileVisitResult;
import java.nio.file.Files;
import java.nio.file.LinkOption;
import java.nio.file.NoSuchFileException;
import java.nio.file.Path;
import java.nio.file.SimpleFileVisitor;
import java.nio.file.attribute.BasicFileAttributes;
import java.security.MessageDigest;
import java.security.NoSuchAlgorithmException;
import java.util.ArrayList;
import java.util.Comparator;
import java.util.List;
import java.util.Map;
import java.util.SortedMap;
import java.util.TreeMap;
import java.util.TreeSet;

/**
 * The list of files a pack wrote into its folder, each with its SHA-256 sum. It is how a later
 * pack into the same folder knows what it may replace or remove: everything else there belongs
 * to the user or to the application (logs, preferences) and is left alone. The lines are those
 * of sha256sum, so "sha256sum -c" in the folder checks the pack.
 */
final class PackRecord {
    static final String FILE_NAME = "javalauncher-pack-files.txt";
    private static final String HEADER = "# Files javalauncher-pack wrote here; packing again"
            + " replaces or removes exactly these and keeps everything else.";
    private static final LinkOption[] NO_FOLLOW = {LinkOption.NOFOLLOW_LINKS};

    /** Relative path with "/" separators → lower-case hexadecimal SHA-256. */
    final SortedMap<String, String> files;

    private PackRecord(SortedMap<String, String> files) {
        this.files = files;
    }

    /** Every file under a finished pack folder, the record itself excepted. */
    static PackRecord of(Path folder) throws IOException {
        SortedMap<String, String> files = new TreeMap<>();
        Files.walkFileTree(folder, new SimpleFileVisitor<Path>() {
            @Override
            public FileVisitResult visitFile(Path file, BasicFileAttributes attributes)
                    throws IOException {
                String path = relative(folder, file);
                if (path.equals(FILE_NAME)) return FileVisitResult.CONTINUE;
                if (!attributes.isRegularFile()) {
                    throw new IOException(file + " is not a regular file");
                }
                String problem = problemOf(path);
                if (problem != null) {
                    throw new IOException("cannot record " + path + ": " + problem);
                }
                files.put(path, sha256(file));
                return FileVisitResult.CONTINUE;
            }
        });
        return new PackRecord(files);
    }

    static String relative(Path folder, Path file) {
        List<String> parts = new ArrayList<>();
        for (Path part : folder.relativize(file)) parts.add(part.toString());
        return String.join("/", parts);
    }

    String toText() {
        StringBuilder text = new StringBuilder(HEADER).append('\n');
        for (Map.Entry<String, String> file : files.entrySet()) {
            text.append(file.getValue()).append("  ").append(file.getKey()).append('\n');
        }
        return text.toString();
    }

    /** The record in a folder; null when there is none. */
    static PackRecord read(Path folder) throws PackException {
        Path file = folder.resolve(FILE_NAME);
        if (!Files.exists(file, NO_FOLLOW)) return null;
        try {
            if (!Files.isRegularFile(file, NO_FOLLOW)) {
                throw new IllegalArgumentException("not a file");
            }
            return parse(new String(Files.readAllBytes(file), StandardCharsets.UTF_8));
        } catch (IOException | IllegalArgumentException e) {
            throw new PackException("--out " + folder + ": its " + FILE_NAME + " is damaged ("
                    + e.getMessage() + "), so the packer cannot tell which files it wrote there"
                    + " and changes nothing; restore that file, or give a new or empty folder");
        }
    }

    /** Refuses any line that could name a file outside the folder or the record itself. */
    static PackRecord parse(String text) {
        String[] lines = text.split("\n", -1);
        if (!lines[0].startsWith("#")) throw new IllegalArgumentException("no header line");
        SortedMap<String, String> files = new TreeMap<>();
        for (int i = 1; i < lines.length; i++) {
            String line = lines[i];
            if (line.isEmpty() && i == lines.length - 1) break;
            String where = "line " + (i + 1);
            if (line.length() < 67 || !line.substring(0, 64).matches("[0-9a-f]{64}")
                    || !line.startsWith("  ", 64)) {
                throw new IllegalArgumentException(where + " is not \"SHA256  PATH\"");
            }
            String path = line.substring(66);
            String problem = path.equals(FILE_NAME) ? "names the record itself" : problemOf(path);
            if (problem != null) throw new IllegalArgumentException(where + " " + problem);
            if (files.put(path, line.substring(0, 64)) != null) {
                throw new IllegalArgumentException(where + " repeats " + path);
            }
        }
        return new PackRecord(files);
    }

    /** Why a relative path cannot be recorded, or null. */
    private static String problemOf(String path) {
        if (path.isEmpty() || path.startsWith("/") || path.endsWith("/")) return "has no file name";
        for (char c : path.toCharArray()) {
            if (c < 0x20 || c == 0x7F || c == '\\' || c == ':') {
                return "holds a control character, '\\' or ':'";
            }
        }
        for (String part : path.split("/", -1)) {
            if (part.isEmpty() || part.equals(".") || part.equals("..")) {
                return "leaves its folder or has an empty part";
            }
        }
        return null;
    }

    /** The recorded files that are no longer what the packer wrote; missing ones are fine. */
    List<String> changedIn(Path folder) throws IOException {
        List<String> changed = new ArrayList<>();
        for (Map.Entry<String, String> file : files.entrySet()) {
            Path path = folder.resolve(file.getKey());
            if (!Files.exists(path, NO_FOLLOW)) continue;
            if (!Files.isRegularFile(path, NO_FOLLOW) || !sha256(path).equals(file.getValue())) {
                changed.add(file.getKey());
            }
        }
        return changed;
    }

    /** Whether path in folder holds the very file recorded under that name. */
    boolean holds(Path folder, String path) throws IOException {
        Path file = folder.resolve(path);
        String sum = files.get(path);
        if (sum == null || !Files.isRegularFile(file, NO_FOLLOW)) return false;
        try {
            return sha256(file).equals(sum);
        } catch (NoSuchFileException e) {
            return false;
        }
    }

    /** The folders holding recorded files, deepest first: each is emptied before its parent. */
    List<String> folders() {
        TreeSet<String> folders = new TreeSet<>(Comparator
                .comparingLong((String path) -> path.chars().filter(c -> c == '/').count())
                .reversed().thenComparing(Comparator.naturalOrder()));
        for (String path : files.keySet()) {
            for (int slash = path.lastIndexOf('/'); slash > 0;
                    slash = path.lastIndexOf('/', slash - 1)) {
                folders.add(path.substring(0, slash));
            }
        }
        return new ArrayList<>(folders);
    }

    /** Removes those of the folders that are empty; a folder holding anything else stays. */
    static void removeEmptyFolders(Path root, List<String> folders) {
        for (String folder : folders) {
            Path path = root.resolve(folder);
            try {
                if (Files.isDirectory(path, NO_FOLLOW)) {
                    try (var entries = Files.newDirectoryStream(path)) {
                        if (entries.iterator().hasNext()) continue;
                    }
                    Files.delete(path);
                }
            } catch (IOException e) {
                // Not empty after all, or not ours to remove: it stays.
            }
        }
    }

    /** Removes every empty folder under root (root itself stays). */
    static void removeEmptyFolders(Path root) throws IOException {
        Files.walkFileTree(root, new SimpleFileVisitor<Path>() {
            @Override
            public FileVisitResult postVisitDirectory(Path dir, IOException e)
                    throws IOException {
                if (e != null) throw e;
                if (!dir.equals(root)) {
                    try (var entries = Files.newDirectoryStream(dir)) {
                        if (!entries.iterator().hasNext()) Files.delete(dir);
                    }
                }
                return FileVisitResult.CONTINUE;
            }
        });
    }

    /** Read with a plain stream, which a thread interrupt does not break off half-way. */
    static String sha256(Path file) throws IOException {
        MessageDigest digest;
        try {
            digest = MessageDigest.getInstance("SHA-256");
        } catch (NoSuchAlgorithmException e) {
            throw new IllegalStateException(e);
        }
        byte[] buffer = new byte[1 << 16];
        try (InputStream in = new FileInputStream(file.toFile())) {
            for (int count; (count = in.read(buffer)) > 0; ) digest.update(buffer, 0, count);
        } catch (java.io.FileNotFoundException e) {
            throw new NoSuchFileException(file.toString(), null, e.getMessage());
        }
        StringBuilder hex = new StringBuilder();
        for (byte b : digest.digest()) hex.append(String.format("%02x", b & 0xFF));
        return hex.toString();
    }
}
